#pragma once
#include <QByteArray>
#include <memory>

namespace peldora {

// Undoes a Content-Encoding of gzip or deflate that a server applied although the program asked
// for the body as it is; any other encoding passes through unchanged.
class BodyDecoder {
public:
    explicit BodyDecoder(const QByteArray& contentEncoding = {});
    ~BodyDecoder();
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;

    bool decoding() const { return bool(m_z); }
    // The decoded bytes of the next piece of the body; false when the data is not valid.
    bool feed(const QByteArray& piece, QByteArray* out);
    // Whether the compressed stream ended properly (always true when not decoding).
    bool finished() const;

private:
    struct Z;
    std::unique_ptr<Z> m_z;
};

} // namespace peldora
