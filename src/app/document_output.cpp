#include "app/document_output.h"

#include "conversion/dsc_doc.h"
#include "platform/error_report.h"
#include "platform/mirror_file.h"
#include "platform/path_text.h"

void WriteTextFile(const std::u16string &path, std::string_view text) {
    try {
        platform::WriteFileThroughMirror(platform::PathTextToBytes(path), text);
    } catch (const platform::ProgramException &error) {
        platform::ReportException(error, path);
    }
}

std::u16string FormatStatusText(const CDSCDoc &doc) {
    std::u16string text = doc.m_bConverted           ? u"Conversion successful."
                          : !doc.m_strStatus.empty() ? u"Conversion failed."
                                                     : u"Conversion unavailable.";
    if (!doc.m_strStatus.empty()) {
        text += u"\r\n\r\n";
        text += doc.m_strStatus;
    }
    return text;
}

void OnShowStatus(const CDSCDoc &doc) {
    platform::ShowMessage(FormatStatusText(doc));
}
