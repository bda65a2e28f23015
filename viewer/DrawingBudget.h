// What drawing one page may spend, whatever its content holds: a count of work (operators run,
// repeated forms included), one store of operands and saved graphics states shared by the page and
// the forms it nests, and a depth of nested forms. Each limit that cuts the page says so once in
// the trace.
#pragma once
#include <cstddef>
#include <functional>

namespace viewer {

// Work a page may do: each operator, operand and character shown counts one unit, painting more
// (below). Real pages stay far below it (the sample claim form runs about 3,200 operators); a
// page that reaches it stops where it is, after two seconds or so of drawing.
const size_t kDrawingWorkBudget = 4000000;
// Reading content costs with its bytes as well: one unit for each this many (a string or an inline
// image of a megabyte costs some ten thousands).
const size_t kBytesPerWorkUnit = 64;
// Painting costs with the pixels it covers: a fill or glyph counts one unit more for each this many
// pixels of the device's clip it may touch (a whole page at 150% costs about a thousand).
const double kPixelsPerWorkUnit = 1024;
// Operands and saved graphics states held at once, across nested forms (some tens of megabytes).
// Saved states may not take the last part: operators after a flood of saves still get operands.
const size_t kDrawingHeldBudget = 200000;
const size_t kOperandReserve = 20000;
// No operator takes more than a few dozen operands; older ones past this are dropped.
const size_t kMaxOperands = 48;
// Forms drawn inside forms.
const int kMaxDrawnFormDepth = 128;

class DrawingBudget
{
public:
    // The trace names the page "Page 1 of <document>" (page from 1, the document's text outliving
    // the budget), or "Page content" when page is 0.
    DrawingBudget(size_t page, const wchar_t* document) : m_page(page), m_document(document) {}

    // Spends units of work; false once the budget is spent (traced the first time).
    bool Spend(size_t units);
    void CountOperator() { ++m_operators; }
    size_t Operators() const { return m_operators; }

    // Holds units of operands, or one saved state; false (traced once) when that would pass the
    // budget (for a state, the budget less the operands' reserve).
    bool HoldOperand(size_t units) { return Hold(units, kDrawingHeldBudget); }
    bool HoldSave() { return Hold(1, kDrawingHeldBudget - kOperandReserve); }
    void Release(size_t units) { m_held -= units < m_held ? units : m_held; }

    // Lines for the other limits, each traced once a page.
    void OperandsDropped();
    void FormTooDeep();
    // Drawing ended by a failure (an allocation that failed, an error of the system).
    void Failed(const char* what);

private:
    bool Hold(size_t units, size_t limit);
    void Trace(const wchar_t* format, ...);

    size_t m_page;
    const wchar_t* m_document;
    size_t m_work = 0;
    size_t m_operators = 0;
    size_t m_held = 0;
    bool m_workTraced = false, m_heldTraced = false, m_operandsTraced = false, m_depthTraced = false;
};

// Switches by which tests reach inside drawing; production code never sets them.
struct DrawingProbes
{
    // Runs before each operator with the number run so far (a test throws from it).
    std::function<void(size_t operatorsRun)> beforeOperator;
    // Told the pixel height of each font made for page text.
    std::function<void(int pixelHeight)> fontMade;
};
DrawingProbes& DrawingProbesForTest();

} // namespace viewer
