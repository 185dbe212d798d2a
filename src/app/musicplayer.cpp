#include "app/musicplayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace natalis::app {

namespace {

class QtMusicPlayer : public MusicPlayer
{
public:
    void play(const QString &file) override
    {
        if (!QFileInfo(file).isFile())
            return;
        if (!m_player) {
            m_player = std::make_unique<QMediaPlayer>();
            m_output = std::make_unique<QAudioOutput>();
            m_player->setAudioOutput(m_output.get());
        }
        m_player->setSource(QUrl::fromLocalFile(file));
        m_player->play();
    }

    void stop(const QString &) override
    {
        if (m_player)
            m_player->stop();
    }

private:
    // The player uses the output, so it goes first.
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
};

} // namespace

std::unique_ptr<MusicPlayer> createMusicPlayer()
{
    return std::make_unique<QtMusicPlayer>();
}

} // namespace natalis::app
