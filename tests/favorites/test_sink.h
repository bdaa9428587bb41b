#pragma once
// Collects what the program reports through the error sink during one test.
#include <string>
#include <vector>

#include "platform/error_report.h"
#include "platform/wide_text.h"

class CapturedErrors {
public:
    CapturedErrors() {
        m_previous = platform::SetErrorSink(
            [this](const std::u16string &text) { m_messages.push_back(platform::Utf16ToUtf8(text)); });
    }
    ~CapturedErrors() { platform::SetErrorSink(m_previous); }
    const std::vector<std::string> &Messages() const { return m_messages; }

private:
    std::vector<std::string> m_messages;
    platform::ErrorSink m_previous;
};
