// Reading a WAV recording (OpenAL Soft's wave back-end writes them) into
// mono samples: 16-bit or float PCM, plain or extensible. A recording still
// being written has no final sizes in its header and is read up to its end.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace wav_file {

inline std::uint32_t readLe(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

struct Recording {
    int rate = 0;
    std::vector<float> mono;
};

// False when the file is missing or not a WAV of those formats.
inline bool readWav(const char* path, Recording& recording) {
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(&bytes[8], "WAVE", 4) != 0)
        return false;
    int format = 0, channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::uint32_t size = readLe(&bytes[at + 4], 4);
        const unsigned char* body = bytes.data() + at + 8;
        size_t available = bytes.size() - (at + 8);
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && available >= 16) {
            format = static_cast<int>(readLe(body, 2));
            channels = static_cast<int>(readLe(body + 2, 2));
            recording.rate = static_cast<int>(readLe(body + 4, 4));
            bits = static_cast<int>(readLe(body + 14, 2));
            // Extensible: the real format is the start of the sub-format GUID.
            if (format == 0xFFFE && size >= 26 && available >= 26) format = static_cast<int>(readLe(body + 24, 2));
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            // A recording still running has no data size yet: read to the end.
            size_t length = size == 0 || size > available ? available : size;
            bool pcm16 = format == 1 && bits == 16;
            bool float32 = format == 3 && bits == 32;
            if (channels <= 0 || recording.rate <= 0 || !(pcm16 || float32)) return false;
            size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
            for (size_t frame = 0; frame + frameBytes <= length; frame += frameBytes) {
                float sum = 0.0f;
                for (int c = 0; c < channels; ++c) {
                    const unsigned char* p = body + frame + static_cast<size_t>(c) * (bits / 8);
                    if (pcm16) {
                        sum += static_cast<std::int16_t>(readLe(p, 2)) / 32768.0f;
                    } else {
                        std::uint32_t raw = readLe(p, 4);
                        float value;
                        std::memcpy(&value, &raw, 4);
                        sum += value;
                    }
                }
                recording.mono.push_back(sum / channels);
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

}  // namespace wav_file
