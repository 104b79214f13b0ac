#pragma once
// An independent reading of the sensor's packet protocol, shared by the decoder, fuzz and end-to-end
// tests: collect the packet's bytes, check the sum over the whole collected prefix, and remember payload
// bytes in a buffer that is never cleared (a short packet reports what an earlier one left there).
// State carries over between calls, as it does between reads of the port.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace aurivo {

class ReferenceDecoder {
  public:
    using Results = std::vector<std::pair<int, int>>; // reading, status

    Results run(const QByteArray& stream) {
        Results out;
        for (char c : stream) {
            const uint8_t b = static_cast<uint8_t>(c);
            packet_.push_back(b);
            const size_t k = packet_.size() - 1;
            bool keep = true;
            if (k == 0) {
                keep = b == 0xA3;
            } else if (k == 1) {
                keep = b == 0x5B;
            } else if (k == 2) {
                keep = b <= 75;
            } else {
                const size_t n = packet_[2];
                if (n < 5) {
                    keep = false;
                } else if (k < n - 1) {
                    buffer_[k - 3] = b;
                } else {
                    int sum = 0;
                    for (size_t i = 0; i + 2 < n; ++i)
                        sum += packet_[i];
                    if (sum == packet_[n - 2] * 256 + b)
                        out.emplace_back(buffer_[0] * 256 + buffer_[1], buffer_[2]);
                    keep = false; // done either way
                }
            }
            if (!keep) packet_.clear();
        }
        return out;
    }

  private:
    std::vector<uint8_t> packet_;
    std::array<uint8_t, 76> buffer_{};
};

} // namespace aurivo
