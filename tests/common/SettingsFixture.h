#pragma once
// The one settings file the tests start from: every panel shown, sensitivity 25, filter 3, jitter 100.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace aurivo {

inline QByteArray settingsText(int port = 3) {
    QByteArray text = "\"Port # \"\r\n" + QByteArray::number(port) + "\r\n\"Sensitivty = \"\r\n\"25\"\r\n";
    for (const char* label :
         {"Picture graph", "Color graph", "Bar graph", "Internal status", "Session comments", "Time etc."})
        text += "\"" + QByteArray(label) + " visibilty = \"\r\n\"True\"\r\n";
    return text + "\"Form Width = \"\r\n10560\r\n\"Form Height = \"\r\n7920\r\n\"Form Top = \"\r\n360\r\n"
                  "\"Form Left = \"\r\n480\r\n\"Filter Size = \"\r\n3\r\n\"Jitter = \"\r\n100\r\n";
}

inline bool writeSettingsFile(const QString& folder, int port = 3) {
    QFile f(QDir(folder).filePath(QStringLiteral("Aurivo_USB.ini")));
    const QByteArray text = settingsText(port);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

} // namespace aurivo
