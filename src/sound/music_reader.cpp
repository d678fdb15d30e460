// The music file reader: libsndfile does the decoding and the sample-exact seeking; this adds
// the format gate, the wrap from the last frame to the first, and the guards that keep a
// broken file from hanging the music thread or feeding the mixer values it can't play.
#include "sound/music_reader.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/data_file.hpp"

namespace {

constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;

bool acceptedFormat(const SF_INFO& info)
{
    const int container = info.format & SF_FORMAT_TYPEMASK;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX)
        return false;
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        break;
    default:
        return false;
    }
    return info.channels >= 1 && info.channels <= LoopedWav::kMaxChannels
        && info.samplerate >= kMinSampleRate && info.samplerate <= kMaxSampleRate
        && info.frames > 0 && info.seekable;
}

bool isFloat(const SF_INFO& info)
{
    const int sub = info.format & SF_FORMAT_SUBMASK;
    return sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
}

// libsndfile's virtual I/O over a file image in memory: read-only, seekable anywhere from its
// start, reads short at its end.
sf_count_t imageLength(void* user)
{
    return static_cast<LoopedWav::Image*>(user)->size;
}

sf_count_t imageSeek(sf_count_t offset, int whence, void* user)
{
    auto& image = *static_cast<LoopedWav::Image*>(user);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? image.at : image.size;
    if ((whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        || offset < -base || offset > std::numeric_limits<sf_count_t>::max() - base)
        return -1;
    image.at = base + offset;
    return image.at;
}

sf_count_t imageRead(void* out, sf_count_t count, void* user)
{
    auto& image = *static_cast<LoopedWav::Image*>(user);
    const sf_count_t left = image.at < image.size ? image.size - image.at : 0;
    const sf_count_t n = count < 0 ? 0 : std::min(count, left);
    if (n > 0)
        std::memcpy(out, image.bytes + image.at, static_cast<std::size_t>(n));
    image.at += n;
    return n;
}

sf_count_t imageTell(void* user)
{
    return static_cast<LoopedWav::Image*>(user)->at;
}

SF_VIRTUAL_IO imageIo{imageLength, imageSeek, imageRead, nullptr, imageTell};

}  // namespace

LoopedWav::LoopedWav(const char* path)
{
    DataFile file(path);
    if (file.error() == 0)
        adopt(sf_open_fd(file.release(), SFM_READ, &info_, SF_TRUE));  // closes it, even on failure
}

LoopedWav::LoopedWav(const void* bytes, std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<sf_count_t>::max()))
        return;
    image_.bytes = static_cast<const unsigned char*>(bytes);
    image_.size = static_cast<sf_count_t>(size);
    adopt(sf_open_virtual(&imageIo, SFM_READ, &info_, &image_));
}

void LoopedWav::adopt(SNDFILE* file)
{
    if (file == nullptr)
        return;
    if (!acceptedFormat(info_)) {
        sf_close(file);
        return;
    }
    file_ = file;
    floatSamples_ = isFloat(info_);
}

LoopedWav::~LoopedWav()
{
    if (file_ != nullptr)
        sf_close(file_);
}

std::size_t LoopedWav::read(float* out, std::size_t frames)
{
    if (file_ == nullptr)
        return 0;
    std::size_t done = 0;
    bool rewound = false;  // a read right after rewinding that yields nothing ends the stream
    while (done < frames) {
        const sf_count_t got = sf_readf_float(file_, out + done * static_cast<std::size_t>(info_.channels),
                                              static_cast<sf_count_t>(frames - done));
        if (got > 0) {
            done += static_cast<std::size_t>(got);
            rewound = false;
            continue;
        }
        if (rewound || sf_seek(file_, 0, SEEK_SET) != 0) {
            sf_close(file_);
            file_ = nullptr;
            break;
        }
        rewound = true;
    }
    if (floatSamples_) {
        for (std::size_t i = 0; i < done * static_cast<std::size_t>(info_.channels); ++i) {
            const float s = out[i];
            out[i] = std::isnan(s) ? 0.0f : std::fmin(1.0f, std::fmax(-1.0f, s));
        }
    }
    return done;
}

bool LoopedWav::seek(std::uint64_t frame)
{
    if (file_ == nullptr)
        return false;
    // Reduced in unsigned arithmetic first, so any demo-time position maps onto the loop.
    const auto target = static_cast<sf_count_t>(frame % static_cast<std::uint64_t>(info_.frames));
    if (sf_seek(file_, target, SEEK_SET) != target) {
        sf_close(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

std::string tuneProblem(LoopedWav& tune, const char* path)
{
    // A PCM or float WAV body has no structure past its header, so a second of it shows that
    // the reader yields audio as well as a whole loop would.
    constexpr int kSecondsDecoded = 1;
    if (!tune.playable())
        return std::string(path) +
               ": not a WAV the demo plays (integer PCM of 8 to 32 bits or float, mono or stereo, 8 to 192 "
               "kHz, at least one frame)";
    const std::size_t frames = static_cast<std::size_t>(tune.sampleRate()) * kSecondsDecoded;
    std::vector<float> samples(frames * static_cast<std::size_t>(tune.channels()));
    if (tune.read(samples.data(), frames) != frames)
        return std::string(path) + ": stops yielding audio while it is decoded";
    return {};
}
