#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace natalis::desktop {

// Plays the reminder music from its start, over and over until stopped, however the play before
// ended. A missing or unplayable file stays silent and is told to unplayable once.
class MusicPlayer
{
public:
    virtual ~MusicPlayer() = default;
    virtual void play(const QString &file) = 0;
    virtual void stop(const QString &file) = 0;

    std::function<void(const QString &file)> unplayable;
};

// Qt Multimedia's audio decoder (GStreamer, so every format its plugins read) feeding an audio
// sink of the default output, a fresh pair for every play, so that no state of a play stopped
// early can keep the next one silent. With no sound output it plays nothing, and tells only a
// file that does not decode.
std::unique_ptr<MusicPlayer> createMusicPlayer();

// How the music of a song milliseconds long (0 or less: not known) is decoded, for a sound
// server playing at serverRate Hz: 16-bit samples at sampleRate Hz in channels channels, kept
// whole in memory so that only its first round is decoded, or decoded again as each round plays.
struct KeptSound
{
    int sampleRate = 0;
    int channels = 0;
    bool whole = false;
};
KeptSound keptSound(int serverRate, qint64 milliseconds);

// Status panel 1's text for a file that cannot be played.
QString unplayableMusicText(const QString &file);

} // namespace natalis::desktop
