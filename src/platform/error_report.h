#pragma once
// One way to report a failure that ends the current operation: the message (after its context) goes to the
// installed error sink (a message box in the window, standard error in a batch run), then UserException
// abandons the command. The window's command routing and the batch run catch UserException silently.
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Abandons the current command; carries no message of its own.
class UserException : public std::exception {
public:
    const char *what() const noexcept override { return "command abandoned"; }
};

// A failure with a message, the stand-in for the framework's file and automation exceptions.
class ProgramException : public std::exception {
public:
    explicit ProgramException(std::u16string message) : m_message(std::move(message)) {}
    const std::u16string &Message() const { return m_message; }
    const char *what() const noexcept override;

private:
    std::u16string m_message;
    mutable std::string m_utf8;
};

using ErrorSink = std::function<void(const std::u16string &text)>;
// Installs the sink; returns the previous one. The default sink writes UTF-8 and a line feed to stderr.
ErrorSink SetErrorSink(ErrorSink sink);

// The plain box without an icon that Show Status uses: the same kind of sink, installed separately (no icon in
// the window; standard error in a batch run by default). Returns the previous sink.
ErrorSink SetMessageSink(ErrorSink sink);
void ShowMessage(const std::u16string &text);

// UTF-8 text with every control character other than tab and line ends (LF, CR LF) shown as '?': text from a
// page or a companion must not move, retitle or clear a terminal that shows it. C1 controls count too.
std::string ShowControlsVisibly(std::string_view utf8);

// Shows "context:\r\nmessage" (or the message alone) through the error sink; no box for an empty message.
void ShowError(std::u16string_view message, std::u16string_view context = {});
// The exception's message (cut to 511 code units) through ShowError.
void ShowException(const ProgramException &exception, std::u16string_view context = {});

// The fatal forms: ShowError / ShowException, then UserException abandons the command.
[[noreturn]] void FatalError(std::u16string_view message, std::u16string_view context = {});
[[noreturn]] void ReportException(const ProgramException &exception, std::u16string_view context = {});

} // namespace platform
