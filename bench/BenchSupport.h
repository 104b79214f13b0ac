#pragma once
// What the window benchmarks share: a saved settings file for a monitor on port 3 with every panel shown
// (so start-up neither asks for a port nor scans), and a main that runs Qt offscreen.

#include "settings/SettingsFile.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace aurivo {

inline void writeBenchSettings(const QString& folder, int filterSize) {
    Settings s = SettingsFile::defaults(15360, 11520); // a 1024 x 768 screen at 15 twips a pixel
    s.commPortNumber = 3;
    s.windowWidth = 10560;
    s.windowHeight = 7920;
    s.windowTop = 360;
    s.windowLeft = 480;
    s.filterSize = filterSize;
    if (!SettingsFile(folder).write(s)) std::abort();
}

} // namespace aurivo

#define AURIVO_BENCHMARK_MAIN(Application)                                                                   \
    int main(int argc, char** argv) {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");         \
        Application app(argc, argv);                                                                         \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
