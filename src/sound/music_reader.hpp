// Reads a WAV file as an endless stream of float frames for the music thread: the file's last
// frame is followed directly by its first, inside one read, and any frame of the endless
// stream can be sought to at once. Only the formats the soundtrack accepts open, and memory
// use is fixed whatever the file's header claims.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <sndfile.h>

class LoopedWav {
public:
    static constexpr int kMaxChannels = 2;

    // Opens and checks the file; see playable() for the outcome.
    explicit LoopedWav(const char* path);
    // The same from a file image in memory, which must outlive the reader (the fuzz tests
    // feed it so, through libsndfile's virtual I/O); the same formats are accepted.
    LoopedWav(const void* bytes, std::size_t size);
    ~LoopedWav();
    LoopedWav(const LoopedWav&) = delete;
    LoopedWav& operator=(const LoopedWav&) = delete;

    // A regular WAV file of integer PCM (8 to 32 bit) or IEEE float, mono or stereo,
    // 8 to 192 kHz, with at least one frame.
    bool playable() const { return file_ != nullptr; }
    int channels() const { return info_.channels; }
    int sampleRate() const { return info_.samplerate; }
    // Frames in one loop (as the header gives them); 0 when not playable.
    std::uint64_t length() const { return file_ != nullptr ? static_cast<std::uint64_t>(info_.frames) : 0; }

    // Writes `frames` interleaved frames in [-1, 1], wrapping to the first frame at the end.
    // Fewer only when the file stops yielding audio (a read error, or nothing to read from
    // its start); the stream is over after that.
    std::size_t read(float* out, std::size_t frames);

    // The next read starts at frame `frame` of the endless stream, that is at frame
    // `frame % length()` of the file, sample-exact. False, and the stream is over, when the
    // file can't be sought (as when it stops yielding audio) or was over already.
    bool seek(std::uint64_t frame);

    // Where the reader stands in a file image in memory.
    struct Image {
        const unsigned char* bytes = nullptr;
        sf_count_t size = 0;
        sf_count_t at = 0;
    };

private:
    void adopt(SNDFILE* file);

    Image image_;
    SNDFILE* file_ = nullptr;
    SF_INFO info_{};
    bool floatSamples_ = false;  // only float files can hold values outside [-1, 1] or NaN
};

// Why the demo could not play the tune read from `path`: not a WAV it plays, or no audio from its
// start, as "PATH: ..."; empty when it can. Reads from where the reader stands.
std::string tuneProblem(LoopedWav& tune, const char* path);
