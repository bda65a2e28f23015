// The limits of one page's drawing and their lines in the trace.
#include "viewer/DrawingBudget.h"
#include "framework/Seams.h"
#include <cstdarg>
#include <cwchar>

namespace viewer {

bool DrawingBudget::Spend(size_t units)
{
    if (m_work <= kDrawingWorkBudget && units <= kDrawingWorkBudget - m_work) {
        m_work += units;
        return true;
    }
    m_work = kDrawingWorkBudget + 1;
    if (!m_workTraced) {
        m_workTraced = true;
        Trace(L"drawing stopped after %lu operators (the page's drawing budget)",
              static_cast<unsigned long>(m_operators));
    }
    return false;
}

bool DrawingBudget::Hold(size_t units, size_t limit)
{
    if (m_held <= limit && units <= limit - m_held) {
        m_held += units;
        return true;
    }
    if (!m_heldTraced) {
        m_heldTraced = true;
        Trace(L"operands and saved graphics states past %lu refused (the page's memory budget)",
              static_cast<unsigned long>(kDrawingHeldBudget));
    }
    return false;
}

void DrawingBudget::OperandsDropped()
{
    if (m_operandsTraced) return;
    m_operandsTraced = true;
    Trace(L"operands past %lu before one operator dropped", static_cast<unsigned long>(kMaxOperands));
}

void DrawingBudget::FormTooDeep()
{
    if (m_depthTraced) return;
    m_depthTraced = true;
    Trace(L"forms nested deeper than %d levels not drawn", kMaxDrawnFormDepth);
}

void DrawingBudget::Failed(const char* what)
{
    wchar_t reason[128] = L"unknown";
    for (size_t i = 0; what && what[i] && i + 1 < sizeof reason / sizeof reason[0]; ++i) {
        reason[i] = static_cast<unsigned char>(what[i]);
        reason[i + 1] = 0;
    }
    Trace(L"drawing stopped after %lu operators by an error (%ls)",
          static_cast<unsigned long>(m_operators), reason);
}

// Formatted into a fixed buffer: a line about a failed allocation must not need one. A sink that
// fails is left alone: drawing goes on.
void DrawingBudget::Trace(const wchar_t* format, ...)
{
    wchar_t line[512];
    const size_t size = sizeof line / sizeof line[0];
    int prefix = m_page ? swprintf(line, size, L"Page %lu of %ls: ", static_cast<unsigned long>(m_page), m_document)
                        : swprintf(line, size, L"Page content: ");
    if (prefix < 0) prefix = 0;
    va_list args;
    va_start(args, format);
    vswprintf(line + prefix, size - prefix, format, args);
    va_end(args);
    try {
        AfxTraceLine(line);
    } catch (...) {
    }
}

DrawingProbes& DrawingProbesForTest()
{
    static DrawingProbes probes;
    return probes;
}

} // namespace viewer
