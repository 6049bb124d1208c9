// Looks into a WAV recording of the game (OpenAL Soft's wave back-end). Exit 2 when it cannot be read.
//   wav_tone FILE                    prints the seconds of sound recorded so far
//   wav_tone FILE HZ FROM TO         prints the first time in [FROM, TO) s a tone of HZ sounds (else exit 1)
//   wav_tone FILE loudness FROM TO   prints the RMS level (full scale 1) in [FROM, TO) s
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tests/support/tone_analysis.h"

namespace {

std::uint32_t readLe(const unsigned char* p, int bytes) {
    return bytes == 0 ? 0 : readLe(p + 1, bytes - 1) << 8 | p[0];
}

// Mono samples of a 16-bit or float WAV, plain or extensible; one still being written is read to its end.
bool readWav(const char* path, int& rate, std::vector<float>& mono) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(&bytes[8], "WAVE", 4) != 0)
        return false;
    int format = 0, channels = 0, bits = 0;
    for (size_t at = 12, size = 0; at + 8 <= bytes.size(); at += 8 + size + (size & 1)) {
        size = readLe(&bytes[at + 4], 4);
        const unsigned char* body = bytes.data() + at + 8;
        const size_t available = bytes.size() - (at + 8);
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && available >= 16) {
            format = static_cast<int>(readLe(body, 2));
            channels = static_cast<int>(readLe(body + 2, 2));
            rate = static_cast<int>(readLe(body + 4, 4));
            bits = static_cast<int>(readLe(body + 14, 2));
            // Extensible: the real format starts the sub-format GUID.
            if (format == 0xFFFE && size >= 26 && available >= 26) format = static_cast<int>(readLe(body + 24, 2));
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            const bool pcm16 = format == 1 && bits == 16, float32 = format == 3 && bits == 32;
            if (channels <= 0 || rate <= 0 || !(pcm16 || float32)) return false;
            const size_t length = size == 0 || size > available ? available : size, sampleBytes = bits / 8;
            for (size_t frame = 0; frame + channels * sampleBytes <= length; frame += channels * sampleBytes) {
                float sum = 0.0f, value;
                for (size_t c = 0; c < static_cast<size_t>(channels); ++c) {
                    const std::uint32_t raw = readLe(body + frame + c * sampleBytes, bits / 8);
                    std::memcpy(&value, &raw, 4);
                    sum += pcm16 ? static_cast<std::int16_t>(raw) / 32768.0f : value;
                }
                mono.push_back(sum / channels);
            }
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int rate = 0;
    std::vector<float> mono;
    if (argc != 2 && argc != 5) return std::fprintf(stderr, "usage: wav_tone FILE [HZ|loudness FROM TO]\n"), 2;
    if (!readWav(argv[1], rate, mono))
        return std::fprintf(stderr, "wav_tone: cannot read %s as 16-bit or float WAV\n", argv[1]), 2;
    if (argc == 2) return std::printf("%.3f\n", static_cast<double>(mono.size()) / rate) < 0;
    const double from = std::atof(argv[3]), to = std::atof(argv[4]);
    if (std::strcmp(argv[2], "loudness") == 0) {
        const size_t first = static_cast<size_t>(std::fmax(0.0, from) * rate);
        const size_t last = std::min(mono.size(), static_cast<size_t>(std::fmax(0.0, to) * rate));
        double sum = 0.0;
        for (size_t i = first; i < last; ++i) sum += static_cast<double>(mono[i]) * mono[i];
        return std::printf("%.6f\n", last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0) < 0;
    }
    const double at = tone_analysis::firstToneTime(mono, rate, std::atof(argv[2]), from, to);
    return at < 0.0 ? 1 : std::printf("%.3f\n", at) < 0;
}
