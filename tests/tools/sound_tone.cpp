// Looks into a recording of the game by SDL's disk audio driver: headerless 16-bit mono samples at the game's
// rate, the format its device is opened with. Exit 2 when it cannot be read.
//   sound_tone FILE                    prints the seconds of sound recorded so far
//   sound_tone FILE HZ FROM TO         prints the first time in [FROM, TO) s a tone of HZ sounds (else exit 1)
//   sound_tone FILE loudness FROM TO   prints the RMS level (full scale 1) in [FROM, TO) s
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/sound_synth.h"
#include "tests/support/tone_analysis.h"

namespace {

// The samples as fractions of full scale; one still being written is read to its last whole sample.
bool readRecording(const char* path, std::vector<float>& mono) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (size_t at = 0; at + 2 <= bytes.size(); at += 2)
        mono.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8) / 32768.0f);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int rate = kSoundSampleRate;
    std::vector<float> mono;
    if (argc != 2 && argc != 5) return std::fprintf(stderr, "usage: sound_tone FILE [HZ|loudness FROM TO]\n"), 2;
    if (!readRecording(argv[1], mono)) return std::fprintf(stderr, "sound_tone: cannot read %s\n", argv[1]), 2;
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
