#include "converter_dlg.h"

#include "about_dlg.h"
#include "resource.h"

CConverterDlg::CConverterDlg()
    : framework::DialogImpl<CConverterDlg>(IDD_CONVERTER_DIALOG),
      m_hIcon(framework::LoadOwnIcon(IDR_MAINFRAME)) {}

framework::CommandTable<CConverterDlg> CConverterDlg::Commands() {
    static constexpr framework::CommandRow<CConverterDlg> kRows[] = {
        {BN_CLICKED, IDC_BROWSE_SOURCE, &CConverterDlg::OnBrowseSource},
        {BN_CLICKED, IDC_BROWSE_DEST, &CConverterDlg::OnBrowseDest},
        {BN_CLICKED, IDC_BROWSE_VIDEO, &CConverterDlg::OnBrowseVideo},
        {BN_CLICKED, IDC_CREATE_SMIL, &CConverterDlg::OnCreateSmilClicked},
        {BN_CLICKED, IDOK, &CConverterDlg::RunConversion},
    };
    return kRows;
}

void CConverterDlg::ExchangeValues(const framework::ValueExchange& exchange) {
    exchange.Text(IDC_SOURCE, m_strSource);
    exchange.Flag(IDC_CREATE_SMIL, m_bCreateSmil);
    exchange.Text(IDC_VIDEO, m_strVideo);
    exchange.Text(IDC_DEST, m_strDest);
    exchange.Flag(IDC_VERIFY_LINES, m_bVerifyLineNumbers);
}

BOOL CConverterDlg::OnInitDialog() {
    framework::DialogImpl<CConverterDlg>::OnInitDialog();
    AddAboutEntryToSystemMenu();
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon.get()));
    return TRUE;  // the focus goes to the first tab stop, "Generate"
}

void CConverterDlg::AddAboutEntryToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(Handle(), FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    wchar_t text[128] = L"";
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, ARRAYSIZE(text)) <= 0) {
        return;
    }
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
}

bool CConverterDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) {
        return false;
    }
    CAboutDlg about;
    about.DoModal(Handle());
    return true;
}

void CConverterDlg::OnCreateSmilClicked() {
    PullValues();
    const BOOL enable = m_bCreateSmil != 0 ? TRUE : FALSE;
    EnableWindow(GetDlgItem(Handle(), IDC_VIDEO), enable);
    EnableWindow(GetDlgItem(Handle(), IDC_BROWSE_VIDEO), enable);
}

bool CConverterDlg::OnPaint() {
    if (!IsIconic(Handle())) {
        return false;
    }
    framework::PaintSession paint(Handle());
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);

    RECT client{};
    GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.dc(), x, y, m_hIcon.get());
    return true;
}

HICON CConverterDlg::OnQueryDragIcon() {
    return m_hIcon.get();
}
