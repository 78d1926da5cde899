#include "browser/ruffle_movie.h"

#include <QtEndian>

#include <zlib.h>

#include <optional>

namespace tomeric {

namespace {

constexpr int kHeaderSize = 8;        // signature, version, file length
constexpr int kTagShowFrame = 1;
constexpr int kTagDoAction = 12;
constexpr int kTagFileAttributes = 69;
constexpr quint32 kActionScript3Flag = 0x08;
// Movies say their length; nothing sensible is larger.
constexpr quint32 kMaxMovieLength = 512u * 1024 * 1024;

struct TTag {
    int code = 0;
    int start = 0;   // offset of the tag's header
    int body = 0;    // offset of its body
    int length = 0;  // of its body
};

// The movie's bytes after the 8-byte header, inflated when compressed.
std::optional<QByteArray> MovieBody(const QByteArray& movie)
{
    if (movie.size() < kHeaderSize)
        return std::nullopt;
    const char kind = movie[0];
    if (movie.mid(1, 2) != "WS" || (kind != 'F' && kind != 'C'))
        return std::nullopt;
    if (kind == 'F')
        return movie.mid(kHeaderSize);
    const quint32 length = qFromLittleEndian<quint32>(movie.constData() + 4);
    if (length <= kHeaderSize || length > kMaxMovieLength)
        return std::nullopt;
    QByteArray body(qsizetype(length - kHeaderSize), '\0');
    uLongf produced = uLongf(body.size());
    const int status = uncompress(reinterpret_cast<Bytef*>(body.data()), &produced,
                                  reinterpret_cast<const Bytef*>(movie.constData() + kHeaderSize),
                                  uLong(movie.size() - kHeaderSize));
    if (status != Z_OK && status != Z_BUF_ERROR)
        return std::nullopt;
    body.truncate(qsizetype(produced));
    return body;
}

// Where the tags start: after the frame rectangle, the rate and the count.
std::optional<int> FirstTagOffset(const QByteArray& body)
{
    if (body.isEmpty())
        return std::nullopt;
    const int bits = (quint8(body[0]) >> 3) & 0x1F;
    const int rectBytes = (5 + 4 * bits + 7) / 8;
    const int offset = rectBytes + 4;
    return offset <= body.size() ? std::optional<int>(offset) : std::nullopt;
}

std::optional<TTag> ReadTag(const QByteArray& body, int offset)
{
    if (offset + 2 > body.size())
        return std::nullopt;
    TTag tag;
    tag.start = offset;
    const quint16 header = qFromLittleEndian<quint16>(body.constData() + offset);
    tag.code = header >> 6;
    tag.length = header & 0x3F;
    tag.body = offset + 2;
    if (tag.length == 0x3F) {
        if (offset + 6 > body.size())
            return std::nullopt;
        const quint32 length = qFromLittleEndian<quint32>(body.constData() + offset + 2);
        if (length > quint32(body.size()))
            return std::nullopt;
        tag.length = int(length);
        tag.body = offset + 6;
    }
    if (qint64(tag.body) + tag.length > body.size())
        return std::nullopt;
    return tag;
}

QByteArray Le16(int value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(quint16(value), bytes.data());
    return bytes;
}

QByteArray Le32(int value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(quint32(value), bytes.data());
    return bytes;
}

// fscommand(command, "") and, with `stop`, stop(), as a DoAction tag.
QByteArray NoticeTag(const char* command, bool stop)
{
    const QByteArray getUrl = QByteArray("FSCommand:") + command + '\0' + '\0'; // address, no target
    QByteArray actions = QByteArray(1, char(0x83)) + Le16(int(getUrl.size())) + getUrl;
    if (stop)
        actions += char(0x07);
    actions += '\0';
    return Le16(kTagDoAction << 6 | 0x3F) + Le32(int(actions.size())) + actions;
}

} // namespace

QByteArray PreparedMovie(const QByteArray& movie, bool playOnce)
{
    const std::optional<QByteArray> body = MovieBody(movie);
    if (!body)
        return movie;
    std::optional<int> offset = FirstTagOffset(*body);
    if (!offset)
        return movie;
    int firstShowFrame = -1, lastShowFrame = -1;
    while (const std::optional<TTag> tag = ReadTag(*body, *offset)) {
        if (tag->code == kTagFileAttributes && tag->length >= 1 && (quint8((*body)[tag->body]) & kActionScript3Flag))
            return movie;
        if (tag->code == kTagShowFrame) {
            if (firstShowFrame < 0)
                firstShowFrame = tag->start;
            lastShowFrame = tag->start;
        }
        if (tag->code == 0)
            break;
        offset = tag->body + tag->length;
    }
    if (firstShowFrame < 0)
        return movie;
    // The last frame first, so that the first one's offset still holds.
    QByteArray changed = *body;
    if (playOnce)
        changed.insert(lastShowFrame, NoticeTag(kMovieEndCommand, true));
    changed.insert(firstShowFrame, NoticeTag(kMovieFirstFrameCommand, false));
    QByteArray header = movie.left(kHeaderSize);
    header[0] = 'F';
    qToLittleEndian<quint32>(quint32(kHeaderSize + changed.size()), header.data() + 4);
    return header + changed;
}

} // namespace tomeric
