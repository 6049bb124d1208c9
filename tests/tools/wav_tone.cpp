// Looks into a WAV recording of the game (OpenAL Soft's wave back-end).
//   wav_tone FILE            prints the seconds of sound recorded so far
//   wav_tone FILE HZ FROM TO prints the first time in [FROM, TO) seconds at
//                            which a tone of HZ sounds; exit 1 if it never does
//   wav_tone FILE loudness FROM TO
//                            prints the RMS level (full scale 1) in [FROM, TO)
// Exit 2 when the file cannot be read.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/tone_analysis.h"
#include "tests/support/wav_file.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 5) {
        std::fprintf(stderr, "usage: wav_tone FILE [HZ|loudness FROM TO]\n");
        return 2;
    }
    wav_file::Recording recording;
    if (!wav_file::readWav(argv[1], recording)) {
        std::fprintf(stderr, "wav_tone: cannot read %s as 16-bit or float WAV\n", argv[1]);
        return 2;
    }
    if (argc == 2) {
        std::printf("%.3f\n", static_cast<double>(recording.mono.size()) / recording.rate);
        return 0;
    }
    double from = std::atof(argv[3]);
    double to = std::atof(argv[4]);
    if (std::strcmp(argv[2], "loudness") == 0) {
        size_t first = static_cast<size_t>(std::fmax(0.0, from) * recording.rate);
        size_t last = static_cast<size_t>(std::fmax(0.0, to) * recording.rate);
        if (last > recording.mono.size()) last = recording.mono.size();
        double sum = 0.0;
        for (size_t i = first; i < last; ++i) sum += static_cast<double>(recording.mono[i]) * recording.mono[i];
        std::printf("%.6f\n", last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0);
        return 0;
    }
    double at = tone_analysis::firstToneTime(recording.mono, recording.rate, std::atof(argv[2]), from, to);
    if (at < 0.0) return 1;
    std::printf("%.3f\n", at);
    return 0;
}
