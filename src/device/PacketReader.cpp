#include "device/PacketReader.h"

#include "device/SerialComm.h"

namespace aurivo {

PacketReader::Outcome PacketReader::readWaiting(const std::function<void(const Reading&)>& onReading,
                                                const std::function<bool()>& mayGoOn) {
    for (;;) {
        const QByteArray block = comm_.input();
        if (block.isEmpty()) return Outcome::Failed;
        for (const char byte : block)
            if (decoder_.feed(static_cast<uint8_t>(byte)))
                onReading(Reading{decoder_.rawReading(), decoder_.statusByte()});
        const int waiting = comm_.inBufferCount();
        if (waiting < 0) return Outcome::Failed;
        if (waiting == 0) return Outcome::Drained;
        if (!mayGoOn()) return Outcome::Paused;
    }
}

} // namespace aurivo
