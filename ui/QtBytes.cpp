#include "ui/QtBytes.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "common/ByteCodec.h"

// By hand rather than QString::fromUcs4(), which takes a leading U+FEFF for a byte order mark
// and drops it.
QString FromBytes(std::string_view bytes)
{
    QString text;
    for (const char32_t c : DecodeBytes(bytes)) {
        if (QChar::requiresSurrogates(c)) {
            text.append(QChar(QChar::highSurrogate(c)));
            text.append(QChar(QChar::lowSurrogate(c)));
        } else {
            text.append(QChar(char16_t(c)));
        }
    }
    return text;
}

std::string ToBytes(const QString& text)
{
    std::u32string characters;
    characters.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            characters.push_back(QChar::surrogateToUcs4(c, text[++i]));
        else
            characters.push_back(c.unicode());
    }
    return EncodeCharacters(characters);
}

std::string PlainTextBytes(const QPlainTextEdit& edit)
{
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return ToBytes(text);
}
