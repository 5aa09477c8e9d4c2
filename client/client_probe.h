// Carrier of the client checks: discovery of the installed client through
// the registry, reading of its reference configuration and the compatibility
// rules. Used as a plain object; no window is ever made from its template.
#pragma once

#include <string>

#include "framework/afx.h"
#include "resources/resource.h"

// The folder of the public users' files: SYSTEMDRIVE followed by
// "/Users/Public".
std::string PublicUsersFolder();

class ClientProbe : public CDialogEx {
public:
    enum { IDD = IDD_CLIENT_PROBE };

    explicit ClientProbe(CWnd* parent = nullptr) : CDialogEx(IDD, parent) {}

    // Finds the client's registry entry and folders; ends the process with
    // the not-found message when there is no entry.
    void FindClient();

    // The full check; returns only when the client qualifies, otherwise the
    // user has been told and the process has ended.
    void CheckClient();

    // Steps of the check.
    void ReadClientConfig(const std::string& path);
    void ComposeUserDataPaths();
    void VerifyCompatibility();

    // The client's language list: the check without its rules.
    std::string ReadClientLanguages();

    // "Translator" of the first configuration copy that loads (public, install,
    // reference); unchanged, without a message, when none loads.
    std::string ReadTranslator();

    std::string m_installLocation;
    std::string m_displayVersion;
    std::string m_clientLanguages;
    std::string m_versionType;
    std::string m_productType;
    std::string m_translator;

private:
    // Steps 1 to 5 of the check.
    void ReadReference();
};
