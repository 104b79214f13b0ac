#pragma once
// The lab link: sends what the session records to experiment software and other tools as OSC over UDP,
// and takes markers from them. It is a listener at the end of the reading pipeline, so each recorded
// reading leaves the moment it is stored, in a bundle time-tagged with the wall clock of that moment.
//
// Out (to the send host and port): /aurivo/reading i record, f session seconds (record / 20), i raw,
// f ohms, f microsiemens, i status; /aurivo/session s "start"|"stop", s name; /aurivo/marker i reading,
// s label (when a marker is set, and again when it is renamed); /aurivo/scr i onset reading, i peak reading,
// f amplitude in microsiemens (when a skin-conductance response is confirmed).
// In (on the listen address and port): /aurivo/marker s label, or a text line "marker LABEL"; see
// LinkInput for what is refused.
//
// Everything runs on the window's thread: sending is a non-blocking datagram write, and the receiver is
// read from the event loop in slices, so neither ever holds up a tick.

#include "core/ChangeSignal.h"
#include "core/ReadingListener.h"
#include "link/LabLinkSettings.h"
#include "link/MarkerRateLimit.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QUdpSocket>
#include <functional>
#include <optional>
#include <vector>

namespace aurivo {

class Clock;
class SessionMarkers;
struct OscMessage;

class LabLink : public QObject, public ReadingListener {
    Q_OBJECT
  public:
    // Adds a marker at the current reading as Session > Add marker does, labelled `label` (empty: the
    // default name); none when no session runs.
    using AddMarker = std::function<std::optional<size_t>(const QString& label)>;

    // Datagrams read from the receiver before the event loop runs again.
    static constexpr int kReadSlice = 64;

    struct Counts {
        int64_t sent = 0;
        int64_t sendFailures = 0;
        int64_t received = 0;       // datagrams read
        int64_t markers = 0;        // markers set from the link
        int64_t outsideSession = 0; // marker requests while no session ran
        int64_t refused = 0;        // datagrams refused (see LinkInput)
        int64_t dropped = 0;        // markers over the rate limit
    };

    LabLink(Clock& clock, SessionMarkers& markers, AddMarker addMarker);
    ~LabLink() override;

    // Takes the settings: opens, moves or closes the sockets. A receive port that cannot be opened is told
    // once through `tell` (and kept as the last error); sending still works, and the rest of the program.
    void apply(const LabLinkSettings& settings);
    const LabLinkSettings& settings() const { return settings_; }
    // The port the receiver is bound to, 0 when it does not listen.
    uint16_t listeningPort() const;

    void setTell(std::function<void(const QString&)> tell) { tell_ = std::move(tell); }

    void sessionStarted(const QString& baseName) override;
    void readingRecorded(const RecordedReading& reading) override;
    void sessionStopped() override;
    // A response of the running session was confirmed: readings by their numbers in the reading file.
    void sendResponse(int64_t onsetReading, int64_t peakReading, double amplitudeUs);

    const Counts& counts() const { return counts_; }
    const QString& lastError() const { return lastError_; }
    // "Sent 120, received 3 (2 markers) · last error: ..." for the dialog's status line.
    QString statusText() const;

    ChangeSignal changed; // the counts, the last error or the sockets changed

  private:
    void readPending();
    void takeDatagram(QByteArrayView datagram);
    void send(const OscMessage& message);
    void markersChanged();
    void setError(const QString& error);

    Clock& clock_;
    const SessionMarkers& markers_;
    AddMarker addMarker_;
    std::function<void(const QString&)> tell_;
    LabLinkSettings settings_;
    QUdpSocket sender_;
    QUdpSocket receiver_;
    std::optional<QHostAddress> destination_; // none while sending is off or the host is not an address
    MarkerRateLimit rate_;
    Counts counts_;
    QString lastError_;
    QString sessionName_;
    std::vector<QString> markerLabelsSent_; // the session's markers as last told, by index
    bool addingMarker_ = false;             // a marker from the link is being set and named
    bool drainScheduled_ = false;           // a further slice of the receiver is queued
};

} // namespace aurivo
