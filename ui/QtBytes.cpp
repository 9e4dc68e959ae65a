#include "ui/QtBytes.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "app/ByteCodec.h"

QString FromBytes(std::string_view bytes)
{
    const std::u32string characters = DecodeBytes(bytes);
    return QString::fromUcs4(characters.data(), qsizetype(characters.size()));
}

std::string ToBytes(const QString& text)
{
    const QList<uint> characters = text.toUcs4();
    std::u32string wide;
    wide.reserve(std::size_t(characters.size()));
    for (const uint c : characters)
        wide.push_back(char32_t(c));
    return EncodeCharacters(wide);
}

std::string PlainTextBytes(const QPlainTextEdit& edit)
{
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return ToBytes(text);
}
