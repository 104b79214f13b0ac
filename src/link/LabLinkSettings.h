#pragma once
// What the user chose for the lab link, kept in the group "lablink" of aurivo-usb.conf in the program's
// folder (the settings the original settings file has no place for). Off by default; the receiver
// listens on loopback only unless the user names another address.

#include <QString>
#include <cstdint>

namespace aurivo {

struct LabLinkSettings {
    static constexpr const char* kFileName = "aurivo-usb.conf";

    bool sendEnabled = false;
    QString sendHost = QStringLiteral("127.0.0.1");
    uint16_t sendPort = 9000;
    bool receiveEnabled = false;
    QString listenAddress = QStringLiteral("127.0.0.1");
    uint16_t receivePort = 9001;

    // Values that are missing or out of range keep their defaults.
    static LabLinkSettings load(const QString& folder);
    // Returns false with the reason when the file could not be written.
    bool save(const QString& folder, QString& failure) const;

    bool operator==(const LabLinkSettings&) const = default;
};

} // namespace aurivo
