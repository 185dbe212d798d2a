#include "desktop/musicplayer.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QAudioDevice>
#include <QAudioSink>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMutex>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWaitCondition>
#include <utility>

namespace natalis::desktop {

namespace {

// The sound server holds this much of the music, and the feeding thread tops it up every
// FeedMilliseconds: a few wake-ups a second, and a busy machine has a second in hand before the
// music breaks.
constexpr int BufferedMilliseconds = 1500;
constexpr int FeedMilliseconds = 500;
// A song is decoded once and every later round plays from memory, with no decoding at all, as
// long as it fits in KeptBytes: at full quality (16-bit stereo at the server's rate) up to about
// three minutes, the length of most songs people choose, then in mono (about six minutes), then
// at a lower rate down to LowestRate (about twelve minutes). Decoding as it plays wakes
// GStreamer's threads for every few milliseconds of sound (30 to 110 times a second, measured
// with WAV, FLAC and Ogg files); the memory is taken only while the music plays. A longer song is
// decoded as it plays after all, AheadMilliseconds ahead of the sound server, round by round.
constexpr qsizetype KeptBytes = 32 * 1024 * 1024;
constexpr int LowestRate = 22050;
constexpr int AheadMilliseconds = 2000;
// How long a stop waits for the feeding thread. Qt's PulseAudio sink waits without end for a
// sound server that neither takes nor refuses the stream; the window thread must not wait with it.
constexpr int StopWaitMilliseconds = 2000;

// The decoded sound between the window thread, which decodes, and the feeding thread.
struct Song
{
    QMutex mutex;
    QWaitCondition changed; // stopping, or sound for a hungry feeder
    QByteArray pcm; // decoded sound not yet handed on, or the whole song
    qsizetype position = 0; // in pcm: the first byte not yet handed to the sound server
    bool keepAll = true; // the song may still fit in KeptBytes
    bool whole = false; // pcm holds the whole song: it goes round from memory
    bool hungry = true; // the sound server has room the feeder could not fill
    bool stopping = false;
};

// Hands the song to the sound server on a thread of its own that sleeps between feeds. Qt's
// PulseAudio sink polls every 20 ms on its thread's event loop even when it is written to; this
// thread never runs its event loop, so that poll never wakes anything.
class Feeder : public QThread
{
public:
    Feeder(const QAudioDevice &device, const QAudioFormat &format, std::shared_ptr<Song> song)
        : m_device(device), m_format(format), m_keptSong(std::move(song)), m_song(*m_keptSong)
    {
    }

private:
    void run() override
    {
        QAudioSink sink(m_device, m_format);
        sink.setBufferSize(m_format.bytesForDuration(BufferedMilliseconds * 1000));
        QIODevice *output = sink.start();
        QMutexLocker lock(&m_song.mutex);
        while (!m_song.stopping) {
            if (output)
                feed(sink, *output);
            m_song.changed.wait(&m_song.mutex, FeedMilliseconds);
        }
        lock.unlock();
        sink.stop(); // the server drops what it still holds: silence at once
    }

    // Under the song's lock.
    void feed(QAudioSink &sink, QIODevice &output)
    {
        const int frame = m_format.bytesPerFrame();
        qsizetype room = sink.bytesFree() / frame * frame;
        while (room > 0) {
            if (m_song.whole && m_song.position == m_song.pcm.size())
                m_song.position = 0;
            const qsizetype size = qMin(room, m_song.pcm.size() - m_song.position);
            const qint64 written =
                size > 0 ? output.write(m_song.pcm.constData() + m_song.position, size) : 0;
            if (written <= 0)
                break;
            m_song.position += written;
            room -= written;
        }
        m_song.hungry = room > 0;
        if (!m_song.keepAll) {
            // What was played goes.
            m_song.pcm.remove(0, m_song.position);
            m_song.position = 0;
            if (m_song.pcm.capacity() > KeptBytes / 2 && m_song.pcm.size() < KeptBytes / 4)
                m_song.pcm.squeeze(); // what the first round kept is no longer needed
        }
    }

    const QAudioDevice m_device;
    const QAudioFormat m_format;
    const std::shared_ptr<Song> m_keptSong; // outlives a play whose stop gave up waiting
    Song &m_song;
};

// One play of one file, round after round until it is deleted. GStreamer decodes on its own
// threads; the window thread only copies decoded pieces. told is called once: with true when the
// file's sound starts coming, with false when it cannot.
class Playback : public QObject
{
public:
    Playback(const QString &file, std::function<void(bool playable)> told)
        : m_told(std::move(told)), m_device(QMediaDevices::defaultAudioOutput())
    {
        // Whatever the file holds, it is decoded to 16-bit samples at the sound server's own
        // rate: the server need not convert it, and every output plays it.
        m_format.setSampleFormat(QAudioFormat::Int16);
        m_format.setChannelCount(2);
        const int rate = m_device.isNull() ? 0 : m_device.preferredFormat().sampleRate();
        m_format.setSampleRate(rate > 0 ? rate : 44100);
        m_decoder.setAudioFormat(m_format);
        m_decoder.setSource(QUrl::fromLocalFile(file));
        connect(&m_decoder, &QAudioDecoder::bufferReady, this, &Playback::pull);
        connect(&m_decoder, &QAudioDecoder::finished, this, &Playback::roundOver);
        connect(&m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
            &Playback::roundOver);
        connect(&m_decoder, &QAudioDecoder::durationChanged, this, [this](qint64 milliseconds) {
            if (milliseconds > 0)
                settle(milliseconds);
        });
        // A long song is decoded as the feeder makes room; this looks for room with the
        // floating window's own scrolling ticks.
        m_room.setInterval(FeedMilliseconds);
        connect(&m_room, &QTimer::timeout, this, &Playback::pull);
        m_decoder.start();
    }

    ~Playback() override
    {
        halt();
        if (m_feeder && !m_feeder->wait(StopWaitMilliseconds)) {
            // Stuck in the sound server: left to end by itself, and deleted when it does.
            Feeder *stuck = m_feeder.release();
            QObject::connect(stuck, &QThread::finished, stuck, &QObject::deleteLater);
        }
        m_decoder.stop();
    }

    // Silence at once, even before the window thread gets round to deleting this.
    void halt()
    {
        m_room.stop();
        QMutexLocker lock(&m_song.mutex);
        m_song.stopping = true;
        m_song.changed.wakeAll();
    }

private:
    // Once the song's length is known (or that it is long): the format in which it is kept,
    // decoding afresh in it, and the start of the feeder. Nothing is fed before, so that the
    // music does not start over in another format.
    void settle(qint64 milliseconds)
    {
        if (m_feeder || m_device.isNull())
            return;
        const KeptSound kept = keptSound(m_format.sampleRate(), milliseconds);
        QAudioFormat format = m_format;
        format.setSampleRate(kept.sampleRate);
        format.setChannelCount(kept.channels);
        QMutexLocker lock(&m_song.mutex);
        m_song.keepAll = kept.whole || m_song.whole;
        if (format != m_format) {
            m_decoder.stop();
            m_song.pcm.clear();
            m_format = format;
            m_decoder.setAudioFormat(m_format);
            m_roundPlayed = false;
            m_decoder.start();
        }
        if (!m_song.keepAll)
            m_room.start();
        else if (milliseconds > 0) // room for the whole song at once, rather than doubling
            m_song.pcm.reserve(m_format.bytesForDuration(milliseconds * 1000));
        m_feeder = std::make_unique<Feeder>(m_device, m_format, m_keptSong);
        m_feeder->start();
    }

    // Takes what the decoder has ready, as far as memory allows.
    void pull()
    {
        const qsizetype ahead = m_format.bytesForDuration(qint64(AheadMilliseconds) * 1000);
        QMutexLocker lock(&m_song.mutex);
        bool took = false, unsettled = false;
        while (m_decoder.bufferAvailable()
            && (m_song.keepAll || m_song.pcm.size() - m_song.position < ahead)) {
            const QAudioBuffer buffer = m_decoder.read();
            if (!buffer.isValid() || buffer.byteCount() == 0)
                continue;
            m_roundPlayed = took = true;
            if (m_device.isNull()) {
                // Nowhere to play: the file is known to play, and nothing more is decoded.
                m_decoder.stop();
                break;
            }
            m_song.pcm.append(buffer.constData<char>(), buffer.byteCount());
            if (m_song.keepAll && m_song.pcm.size() > KeptBytes) {
                // Longer than it said, or it said nothing.
                unsettled = !m_feeder;
                if (unsettled)
                    break;
                m_song.keepAll = false;
                m_room.start();
            }
        }
        if (took && m_song.hungry)
            m_song.changed.wakeAll();
        lock.unlock();
        if (took && m_told)
            std::exchange(m_told, nullptr)(true);
        if (unsettled)
            settle(m_decoder.duration());
    }

    // The decoder reached the file's end, or an error: the round is over however it ended.
    void roundOver()
    {
        m_decoder.stop();
        if (!m_roundPlayed) {
            // Nothing of the file decoded: at the start, it is unplayable; later, it went away.
            m_room.stop();
            if (m_told)
                std::exchange(m_told, nullptr)(false);
            return;
        }
        QMutexLocker lock(&m_song.mutex);
        if (m_song.keepAll) {
            m_song.whole = true; // every later round plays from memory
            const qint64 length = m_format.durationForBytes(m_song.pcm.size()) / 1000;
            lock.unlock();
            settle(length);
            return;
        }
        // The next round is decoded behind this one, so that it follows without a gap.
        m_roundPlayed = false;
        m_decoder.start();
    }

    std::function<void(bool)> m_told;
    const QAudioDevice m_device; // null without a sound output: then nothing plays
    QAudioFormat m_format;
    QAudioDecoder m_decoder;
    QTimer m_room;
    std::shared_ptr<Song> m_keptSong = std::make_shared<Song>();
    Song &m_song = *m_keptSong;
    std::unique_ptr<Feeder> m_feeder; // from when the format is settled
    bool m_roundPlayed = false; // something of this round decoded
};

class QtMusicPlayer : public MusicPlayer
{
public:
    ~QtMusicPlayer() override { delete m_playback; }

    void play(const QString &file) override
    {
        release();
        if (!QFileInfo(file).isFile()) {
            report(file);
            return;
        }
        m_playback = new Playback(file, [this, file](bool playable) {
            if (!playable)
                report(file);
            else if (m_reported == file)
                m_reported.clear(); // told again if it fails again
        });
    }

    void stop(const QString &) override { release(); }

private:
    void release()
    {
        if (!m_playback)
            return;
        m_playback->halt();
        // Deleted later: a stop may come from the play's own report.
        m_playback->deleteLater();
        m_playback = nullptr;
    }

    void report(const QString &file)
    {
        if (m_reported == file)
            return;
        m_reported = file;
        if (unplayable)
            unplayable(file);
    }

    QPointer<Playback> m_playback;
    QString m_reported; // the file last told to be unplayable, until it plays
};

} // namespace

std::unique_ptr<MusicPlayer> createMusicPlayer()
{
    return std::make_unique<QtMusicPlayer>();
}

KeptSound keptSound(int serverRate, qint64 milliseconds)
{
    KeptSound kept { serverRate, 2, false };
    if (milliseconds <= 0)
        return kept;
    const auto bytes = [&] {
        return qint64(kept.sampleRate) * kept.channels * 2 * milliseconds / 1000;
    };
    if (bytes() > KeptBytes)
        kept.channels = 1;
    if (bytes() > KeptBytes)
        kept.sampleRate = int(qMax<qint64>(LowestRate, KeptBytes / 2 * 1000 / milliseconds));
    kept.whole = bytes() <= KeptBytes;
    return kept;
}

QString unplayableMusicText(const QString &file)
{
    return QStringLiteral("音乐文件无法播放:") + file;
}

} // namespace natalis::desktop
