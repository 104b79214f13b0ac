#pragma once
// The packet reader: takes what the serial port has received, block by block, and runs it through the
// packet decoder one byte at a time (so packets may arrive split anywhere), handing every valid packet
// on as a Reading.

#include "core/Reading.h"
#include "device/PacketDecoder.h"

#include <functional>

namespace aurivo {

class SerialComm;

class PacketReader {
  public:
    enum class Outcome {
        Drained, // nothing waits any more
        Paused,  // mayGoOn() said stop; what still waits is read by the next call
        Failed,  // the port could not be read (the device has gone)
    };

    explicit PacketReader(SerialComm& comm) : comm_(comm) {}

    // Reads the waiting bytes, asking the port again after each block, until none waits, the port fails,
    // or mayGoOn() (asked between blocks) returns false. Call it only when bytes wait.
    Outcome readWaiting(const std::function<void(const Reading&)>& onReading,
                        const std::function<bool()>& mayGoOn);

  private:
    SerialComm& comm_;
    PacketDecoder decoder_;
};

} // namespace aurivo
