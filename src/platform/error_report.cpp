#include "platform/error_report.h"

#include <cstdio>
#include <utility>

#include "platform/wide_text.h"

namespace platform {

const char *ProgramException::what() const noexcept {
    if (m_utf8.empty() && !m_message.empty()) {
        try {
            m_utf8 = Utf16ToUtf8(m_message);
        } catch (...) {
            return "program error";
        }
    }
    return m_utf8.c_str();
}

std::string ShowControlsVisibly(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        bool lineEnd = c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n');
        if ((c < 0x20 && c != '\t' && !lineEnd) || c == 0x7F) {
            shown += '?';
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            shown += '?'; // U+0080..U+009F
            ++i;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

namespace {

// Standard error shows lines the Linux way: the box texts' CR LF line ends become line feeds.
void WriteToStandardError(const std::u16string &text) {
    std::string utf8 = ShowControlsVisibly(Utf16ToUtf8(text));
    std::string lines;
    lines.reserve(utf8.size() + 1);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue;
        lines += utf8[i];
    }
    lines += '\n';
    std::fwrite(lines.data(), 1, lines.size(), stderr);
    std::fflush(stderr);
}

ErrorSink &InstalledSink() {
    static ErrorSink sink = WriteToStandardError;
    return sink;
}

ErrorSink &InstalledMessageSink() {
    static ErrorSink sink = WriteToStandardError;
    return sink;
}

} // namespace

ErrorSink SetMessageSink(ErrorSink sink) {
    if (!sink)
        sink = WriteToStandardError;
    return std::exchange(InstalledMessageSink(), std::move(sink));
}

void ShowMessage(const std::u16string &text) {
    InstalledMessageSink()(text);
}

ErrorSink SetErrorSink(ErrorSink sink) {
    if (!sink)
        sink = WriteToStandardError;
    return std::exchange(InstalledSink(), std::move(sink));
}

void ShowError(std::u16string_view message, std::u16string_view context) {
    if (message.empty())
        return;
    std::u16string text;
    if (!context.empty()) {
        text.reserve(context.size() + 3 + message.size());
        text.append(context);
        text.append(u":\r\n");
    }
    text.append(message);
    InstalledSink()(text);
}

void ShowException(const ProgramException &exception, std::u16string_view context) {
    // The framework's message buffer holds 512 characters with its terminator.
    constexpr size_t MESSAGE_BUFFER_SIZE = 512;
    ShowError(std::u16string_view(exception.Message()).substr(0, MESSAGE_BUFFER_SIZE - 1), context);
}

void FatalError(std::u16string_view message, std::u16string_view context) {
    ShowError(message, context);
    throw UserException();
}

void ReportException(const ProgramException &exception, std::u16string_view context) {
    ShowException(exception, context);
    throw UserException();
}

} // namespace platform
