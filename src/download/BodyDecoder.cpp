#include "download/BodyDecoder.h"

#include <zlib.h>

namespace peldora {

struct BodyDecoder::Z {
    z_stream stream{};
    bool ended = false;
    bool failed = false;
};

BodyDecoder::BodyDecoder(const QByteArray& contentEncoding) {
    const QByteArray e = contentEncoding.trimmed().toLower();
    int windowBits = 0;
    if (e == "gzip" || e == "x-gzip")
        windowBits = 15 + 16;
    else if (e == "deflate")
        windowBits = 15 + 32; // zlib wrapper or gzip, told from the first bytes
    else
        return;
    m_z = std::make_unique<Z>();
    if (inflateInit2(&m_z->stream, windowBits) != Z_OK) m_z->failed = true;
}

BodyDecoder::~BodyDecoder() {
    if (m_z && !m_z->failed) inflateEnd(&m_z->stream);
}

bool BodyDecoder::feed(const QByteArray& piece, QByteArray* out) {
    out->clear();
    if (!m_z) {
        *out = piece;
        return true;
    }
    if (m_z->failed) return false;
    if (m_z->ended) return piece.isEmpty();
    z_stream& s = m_z->stream;
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
    s.avail_in = uInt(piece.size());
    char buffer[16384];
    while (s.avail_in > 0 && !m_z->ended) {
        s.next_out = reinterpret_cast<Bytef*>(buffer);
        s.avail_out = sizeof buffer;
        const int rc = inflate(&s, Z_NO_FLUSH);
        out->append(buffer, qsizetype(sizeof buffer - s.avail_out));
        if (rc == Z_STREAM_END) {
            m_z->ended = true;
        } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
            m_z->failed = true;
            return false;
        } else if (rc == Z_BUF_ERROR && s.avail_out != 0) {
            break;
        }
    }
    return true;
}

bool BodyDecoder::finished() const {
    return !m_z || m_z->ended;
}

} // namespace peldora
