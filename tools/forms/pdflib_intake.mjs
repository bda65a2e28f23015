// A fillable intake form written by the pdf-lib package, for the tests of forms that other programs
// make: a blank copy and a filled copy (text, check box and the radio group's last choice set by the
// library itself).
// Usage: node pdflib_intake.mjs PDF_LIB_MODULE_FOLDER BLANK_PDF FILLED_PDF
import { createRequire } from "module";
import { writeFileSync } from "fs";
import path from "path";

const require = createRequire(path.resolve(process.argv[2]) + "/");
const { PDFDocument, StandardFonts, rgb } = require("pdf-lib");

const TEXT_FIELDS = [["intake.patient.name", "Patient name"], ["intake.patient.city", "City"],
                     ["intake.insurer", "Insurer"], ["intake.member_id", "Member ID"]];
const PLANS = [["hmo", "HMO"], ["ppo", "PPO"], ["medicare", "Medicare"]];
const FILLED = { "intake.patient.name": "Lindqvist, Maja", "intake.patient.city": "Duluth",
                 "intake.insurer": "Northwind Mutual", "intake.member_id": "NW-448120" };

async function write(file, filled) {
  const doc = await PDFDocument.create();
  doc.setTitle("Intake");
  const page = doc.addPage([612, 792]);
  const helvetica = await doc.embedFont(StandardFonts.Helvetica);
  const bold = await doc.embedFont(StandardFonts.HelveticaBold);
  const courier = await doc.embedFont(StandardFonts.Courier);
  const form = doc.getForm();
  page.drawText("Patient intake", { x: 72, y: 720, size: 20, font: bold });
  page.drawText("Office use", { x: 420, y: 724, size: 12, font: courier });
  let y = 660;
  for (const [name, label] of TEXT_FIELDS) {
    page.drawText(label, { x: 72, y: y + 6, size: 12, font: helvetica });
    const field = form.createTextField(name);
    if (filled) field.setText(FILLED[name]);
    field.addToPage(page, { x: 200, y, width: 260, height: 22, borderColor: rgb(0, 0, 0), borderWidth: 1 });
    y -= 40;
  }
  page.drawText("Plan", { x: 72, y: y + 4, size: 12, font: helvetica });
  const plan = form.createRadioGroup("intake.plan");
  let x = 200;
  for (const [value, label] of PLANS) {
    plan.addOptionToPage(value, page, { x, y, width: 14, height: 14, borderColor: rgb(0, 0, 0) });
    page.drawText(label, { x: x + 20, y: y + 3, size: 12, font: helvetica });
    x += 100;
  }
  if (filled) plan.select("medicare");
  y -= 40;
  page.drawText("Consent on file", { x: 72, y: y + 4, size: 12, font: helvetica });
  const consent = form.createCheckBox("intake.consent");
  consent.addToPage(page, { x: 200, y, width: 14, height: 14, borderColor: rgb(0, 0, 0) });
  if (filled) consent.check();
  writeFileSync(file, await doc.save());
}

await write(process.argv[3], false);
await write(process.argv[4], true);
