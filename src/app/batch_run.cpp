#include "app/batch_run.h"

#include <memory>
#include <new>

#include "app/batch_page_source.h"
#include "app/document_output.h"
#include "companion/companion_commands.h"
#include "conversion/dsc_doc.h"
#include "platform/error_report.h"
#include "platform/file_uri.h"
#include "platform/ini_settings.h"
#include "platform/path_identity.h"
#include "platform/path_text.h"
#include "platform/wide_text.h"

namespace {

// Refuses, before anything is read or written, outputs that would write over each other or over the page: the
// second would replace the first, or the page would be lost. Two names of one descriptor the program holds
// (-pbn /dev/stdout -text /dev/stdout) are a stream written in turn, and lose nothing.
void CheckOutputsApart(const CTSCommandLineInfo &info) {
    std::string pbn = platform::PathTextToBytes(info.m_strPbnFile);
    std::string text = platform::PathTextToBytes(info.m_strTextFile);
    if (info.m_bPbn && info.m_bText && platform::NameSameRegularFile(pbn, text) &&
        (platform::NamedDescriptor(pbn) < 0 || platform::NamedDescriptor(text) < 0))
        platform::FatalError(u"The PBN file and the text file are the same file: the text would replace the PBN. "
                             u"Name a different file for each.",
                             info.m_strTextFile);
    // The page file, named as a file or by its file URL (which the run reads as the file itself).
    std::string page;
    if (!info.m_strFileName.empty())
        page = platform::PathTextToBytes(info.m_strFileName);
    else if (std::string path; platform::PathFromFileUri(platform::PathTextToBytes(info.m_strStartURL), path))
        page = std::move(path);
    if (page.empty())
        return;
    auto refuseThePage = [&](bool asked, const std::string &path, const std::u16string &name) {
        if (asked && platform::NameSameRegularFile(page, path))
            platform::FatalError(u"This is the page file: writing to it would overwrite the page. Name a "
                                 u"different output file.",
                                 name);
    };
    refuseThePage(info.m_bPbn, pbn, info.m_strPbnFile);
    refuseThePage(info.m_bText, text, info.m_strTextFile);
}

int RunBatchSteps(const CTSCommandLineInfo &info) {
    // Asked-for outputs without a name would only fail after the page has been loaded and analysed.
    if (info.m_bPbn && info.m_strPbnFile.empty())
        platform::FatalError(u"No PBN file was named after -pbn.");
    if (info.m_bText && info.m_strTextFile.empty())
        platform::FatalError(u"No text file was named after -text.");
    CheckOutputsApart(info);
    // A page file named together with a URL wins, as it does when the window opens.
    std::unique_ptr<BatchPageSource> page;
    if (!info.m_strFileName.empty())
        page = std::make_unique<BatchPageSource>(ReadPageFile(info.m_strFileName));
    else if (!info.m_strStartURL.empty())
        page = std::make_unique<BatchPageSource>(LoadPageFromUrl(info.m_strStartURL));
    else
        platform::FatalError(u"No page to convert: name a page file or a URL, for example\r\n"
                             u"dealscope results.html -pbn results.pbn -text results.txt");

    CDSCDoc doc;
    doc.LoadFromView(*page);
    page.reset();

    // The companion is asked whether or not the page converted; without boards there is nothing to write, and
    // the status says why.
    if (info.m_bDda)
        OnDoubleDummyAll(doc);
    if (!doc.m_bConverted) {
        OnShowStatus(doc);
        return BATCH_FAILED;
    }
    if (info.m_bPbn)
        WriteTextFile(info.m_strPbnFile, doc.m_strPbn);
    if (info.m_bText)
        WriteTextFile(info.m_strTextFile, doc.m_strTextReport);
    return BATCH_SUCCEEDED;
}

} // namespace

int RunBatch(const CTSCommandLineInfo &info) {
    // The recap option comes from the user's settings, as in the window.
    platform::IniSettings settings(platform::DefaultSettingsPath());
    platform::SetAppSettings(&settings);
    int result = BATCH_FAILED;
    try {
        result = RunBatchSteps(info);
    } catch (const platform::UserException &) {
        // Already reported.
    } catch (const platform::ProgramException &error) {
        platform::ShowException(error);
    } catch (const std::bad_alloc &) {
        platform::ShowError(u"Out of memory.");
    }
    platform::SetAppSettings(nullptr);
    return result;
}
