#pragma once
// An independent reading of the sensor's packet protocol: collect a packet's bytes, check the sum over the
// collected prefix, keep payload bytes in a buffer never cleared (a short packet reports what an earlier
// one left there). State carries over between calls, as between reads of the port.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <numeric>
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
            const size_t k = packet_.size() - 1, n = packet_.size() > 2 ? packet_[2] : 0;
            bool keep = k == 0 ? b == 0xA3 : k == 1 ? b == 0x5B : k == 2 ? b <= 75 : n >= 5 && k < n - 1;
            if (keep && k >= 3) buffer_[k - 3] = b;
            if (k >= 3 && n >= 5 && k == n - 1) { // the check bytes: done either way
                const int sum = std::accumulate(packet_.begin(), packet_.begin() + long(n - 2), 0);
                if (sum == packet_[n - 2] * 256 + b)
                    out.emplace_back(buffer_[0] * 256 + buffer_[1], buffer_[2]);
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
