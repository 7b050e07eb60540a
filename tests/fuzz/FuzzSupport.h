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
// 'U' reads the rest as UTF-16 (little endian), which reaches lone surrogates and byte-order
// marks, with fields separated by U+FFFF; otherwise the fields are UTF-8.
inline QList<QString> Fields(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<QString> out;
    if (bytes.startsWith('U')) {
        const QString text(reinterpret_cast<const QChar*>(bytes.constData() + 1), (bytes.size() - 1) / 2);
        for (const QString& part : text.split(QChar(0xFFFF))) out << part;
        return out;
    }
    for (const QByteArray& part : bytes.split('\xFF')) out << QString::fromUtf8(part);
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
