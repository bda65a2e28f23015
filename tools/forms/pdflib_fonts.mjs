// Forms written by pdf-lib for the tests of page text and page parts: one whose page text is all in
// a TrueType font embedded as a two-byte (Type0, Identity-H) font through the font kit, the same with
// the whole font and without its ToUnicode map (as some writers leave it), and one whose page is drawn
// by form XObjects (a page embedded in a page embedded in the page), each with a field.
// Usage: node pdflib_fonts.mjs NODE_MODULE_FOLDER TRUETYPE_FONT TYPE0_PDF TYPE0_NO_MAP_PDF XOBJECT_PDF
import { createRequire } from "module";
import { readFileSync, writeFileSync } from "fs";
import path from "path";

const require = createRequire(path.resolve(process.argv[2]) + "/");
const { PDFDocument, PDFDict, PDFName, StandardFonts, rgb } = require("pdf-lib");
const fontkit = require("@pdf-lib/fontkit");
const [fontFile, type0File, type0NoMapFile, xobjectFile] = process.argv.slice(3);

async function type0Form(file, whole) {
  const doc = await PDFDocument.create();
  doc.registerFontkit(fontkit);
  doc.setTitle("Two-byte font");
  const font = await doc.embedFont(readFileSync(fontFile), { subset: !whole });
  const page = doc.addPage([612, 792]);
  page.drawText("Straße und Größe", { x: 72, y: 720, size: 20, font });
  page.drawText("Invoice total € 120", { x: 72, y: 680, size: 14, font });
  page.drawText("Œuvre naïve – café", { x: 72, y: 650, size: 14, font });
  page.drawText("Patient name", { x: 72, y: 600, size: 12, font });
  const name = doc.getForm().createTextField("patient");
  name.addToPage(page, { x: 200, y: 594, width: 260, height: 22, borderColor: rgb(0, 0, 0), borderWidth: 1 });
  if (!whole) {
    writeFileSync(file, await doc.save());
    return;
  }
  // The whole font keeps its own character map; the two-byte font loses its ToUnicode map.
  const saved = await PDFDocument.load(await doc.save());
  for (const [, object] of saved.context.enumerateIndirectObjects())
    if (object instanceof PDFDict && object.get(PDFName.of("Subtype")) === PDFName.of("Type0"))
      object.delete(PDFName.of("ToUnicode"));
  writeFileSync(file, await saved.save());
}

// The innermost part: a heading and a box; the middle part places it twice; the page places the
// middle part once, moved.
async function xobjectForm() {
  const inner = await PDFDocument.create();
  const innerPage = inner.addPage([300, 100]);
  const bold = await inner.embedFont(StandardFonts.HelveticaBold);
  innerPage.drawText("Clinic", { x: 10, y: 60, size: 24, font: bold });
  innerPage.drawRectangle({ x: 10, y: 10, width: 200, height: 30, borderColor: rgb(0, 0, 0), borderWidth: 2 });
  // Text past the page's edge: clipped away by the part's bounding box wherever it is placed.
  innerPage.drawText("Hidden", { x: 320, y: 60, size: 24, font: bold });

  const middle = await PDFDocument.create();
  const middlePage = middle.addPage([400, 300]);
  const helvetica = await middle.embedFont(StandardFonts.Helvetica);
  // A document's fonts are written when it is saved: embed the saved copy.
  const [part] = await middle.embedPdf(await inner.save());
  middlePage.drawPage(part, { x: 20, y: 160 });
  middlePage.drawPage(part, { x: 20, y: 20, xScale: 0.5, yScale: 0.5 });
  middlePage.drawText("Outpatient", { x: 200, y: 30, size: 16, font: helvetica });

  const doc = await PDFDocument.create();
  doc.setTitle("Page parts");
  const page = doc.addPage([612, 792]);
  const [placed] = await doc.embedPdf(await middle.save());
  page.drawPage(placed, { x: 72, y: 400 });
  const times = await doc.embedFont(StandardFonts.TimesRoman);
  page.drawText("Referral notes", { x: 72, y: 360, size: 14, font: times });
  const notes = doc.getForm().createTextField("notes");
  notes.addToPage(page, { x: 200, y: 352, width: 260, height: 22, borderColor: rgb(0, 0, 0), borderWidth: 1 });
  writeFileSync(xobjectFile, await doc.save());
}

await type0Form(type0File, false);
await type0Form(type0NoMapFile, true);
await xobjectForm();
