// The converter window: the five values, their controls, the file choosers
// and the "Generate" action.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "framework/gdi.h"

class CConverterDlg : public framework::DialogImpl<CConverterDlg> {
public:
    CConverterDlg();

    static framework::CommandTable<CConverterDlg> Commands();

protected:
    BOOL OnInitDialog() override;
    void ExchangeValues(const framework::ValueExchange& exchange) override;
    bool OnSysCommand(WPARAM command) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;

private:
    void OnBrowseSource();
    void OnBrowseDest();
    void OnBrowseVideo();
    void OnCreateSmilClicked();
    void RunConversion();

    void AddAboutEntryToSystemMenu();

    std::string m_strSource;
    int m_bCreateSmil = 0;
    std::string m_strVideo;
    std::string m_strDest;
    int m_bVerifyLineNumbers = 1;
    framework::OwnedIcon m_hIcon;
};
