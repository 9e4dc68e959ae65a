// Between the core's bytes and the controls' characters: ByteCodec's decoding, for QString.
// What the user did not edit goes back as the very bytes it came from.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

class QPlainTextEdit;

[[nodiscard]] QString FromBytes(std::string_view bytes);
[[nodiscard]] std::string ToBytes(const QString& text);
// The edit's text with LF line ends, as typed: toPlainText() would turn a no-break space into a
// plain one, so the document's raw text is read instead.
[[nodiscard]] std::string PlainTextBytes(const QPlainTextEdit& edit);
