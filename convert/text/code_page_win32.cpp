// The ANSI code page of the running Windows system.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "code_page.h"

namespace quillo {

CodePage CodePage::System() {
    CodePage page;
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1) {
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
            for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) {
                page.lead_[b] = true;
                page.hasLeadBytes_ = true;
            }
        }
    }
    return page;
}

}  // namespace quillo
