#pragma once
// Shared by the fuzz targets: reading texts out of the fuzzer's bytes, and the check that stops
// a run when a helper breaks one of its promises.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise is a crash to libFuzzer, which keeps the input; the replay reports it.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);  \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace peldora::fuzz {

// The input as texts: fields separated by the byte 0xFF (never part of UTF-8). A first byte
// 'U' reads the fields as UTF-16 (little endian), which reaches lone surrogates; otherwise
// they are UTF-8.
inline QList<QString> Fields(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const bool utf16 = bytes.startsWith('U');
    if (utf16) bytes.remove(0, 1);
    QList<QString> out;
    for (const QByteArray& part : bytes.split('\xFF')) {
        if (utf16)
            out << QString(reinterpret_cast<const QChar*>(part.constData()), part.size() / 2);
        else
            out << QString::fromUtf8(part);
    }
    return out;
}

// Bytes a character takes in UTF-8; a lone surrogate counts as its replacement (3).
inline int Utf8Size(const QString& text, qsizetype i) {
    const char16_t c = text.at(i).unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode()))
        return 4;
    return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

inline bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate()) return true;
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

} // namespace peldora::fuzz
