#pragma once

#include <QString>
#include <memory>

namespace natalis::app {

// Plays the reminder music. A missing or unplayable file stays silent: nothing is reported.
class MusicPlayer
{
public:
    virtual ~MusicPlayer() = default;
    virtual void play(const QString &file) = 0;
    virtual void stop(const QString &file) = 0;
};

// Qt Multimedia's player; the audio output is created on first use.
std::unique_ptr<MusicPlayer> createMusicPlayer();

} // namespace natalis::app
