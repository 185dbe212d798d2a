#include "desktop/musicplayer.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>

namespace natalis::app {

namespace {

class QtMusicPlayer : public MusicPlayer
{
public:
    ~QtMusicPlayer() override { delete m_player; }

    void play(const QString &file) override
    {
        release();
        if (!QFileInfo(file).isFile()) {
            report(file);
            return;
        }
        m_player = new QMediaPlayer;
        auto *output = new QAudioOutput(m_player); // goes with its player
        m_player->setAudioOutput(output);
        QObject::connect(m_player, &QMediaPlayer::errorOccurred, m_player,
            [this, file](QMediaPlayer::Error error) {
                if (error != QMediaPlayer::NoError)
                    report(file);
            });
        QObject::connect(m_player, &QMediaPlayer::playbackStateChanged, m_player,
            [this, file](QMediaPlayer::PlaybackState state) {
                if (state == QMediaPlayer::PlayingState && m_reported == file)
                    m_reported.clear();
            });
        // Round and round until stopped: each round on a fresh player (the backend's own loop
        // stops after a round or two).
        QObject::connect(m_player, &QMediaPlayer::mediaStatusChanged, m_player,
            [this, file, player = m_player.data()](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia && player == m_player)
                    QMetaObject::invokeMethod(
                        player,
                        [this, file, player] {
                            if (player == m_player) // not stopped in between
                                play(file);
                        },
                        Qt::QueuedConnection);
            });
        m_player->setSource(QUrl::fromLocalFile(file));
        m_player->play();
    }

    void stop(const QString &) override { release(); }

private:
    void release()
    {
        if (!m_player)
            return;
        m_player->stop();
        // Later: a stop may come from one of the player's own signals.
        m_player->deleteLater();
        m_player = nullptr;
    }

    void report(const QString &file)
    {
        if (m_reported == file)
            return;
        m_reported = file;
        if (unplayable)
            unplayable(file);
    }

    QPointer<QMediaPlayer> m_player;
    QString m_reported; // the file last told to be unplayable, until it plays
};

} // namespace

std::unique_ptr<MusicPlayer> createMusicPlayer()
{
    return std::make_unique<QtMusicPlayer>();
}

QString unplayableMusicText(const QString &file)
{
    return QStringLiteral("音乐文件无法播放:") + file;
}

} // namespace natalis::app
