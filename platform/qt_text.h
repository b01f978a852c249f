// The program's strings as toolkit strings and back. Cell texts and the
// clipboard are 8-bit texts: each byte is one character, so every text
// survives the round trip. Titles, messages and paths are UTF-8, the
// system's encoding of file names.
#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace nimbel {

inline QString qtText(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string bytesOf(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

inline QString uiText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string utf8Of(const QString& text) { return text.toStdString(); }

inline QString qtPath(std::string_view path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string pathOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace nimbel
