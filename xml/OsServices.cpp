// The OS version query.
#include "xml/OsServices.h"
#include <string.h>

WindowsVersion::WindowsVersion()
{
    memset(&m_info, 0, sizeof m_info);
    m_info.dwOSVersionInfoSize = sizeof m_info;
    if (!GetVersionExA(&m_info))
        m_info.dwMajorVersion = 0;
}

bool systemIsMajorVersion4()
{
    static const WindowsVersion version;
    return version.isMajorVersion4();
}
