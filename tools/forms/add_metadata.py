"""Copies a PDF with an XMP metadata stream added to its catalog, so that encrypting it shows how a
writer treats metadata.

Usage: add_metadata.py INPUT.pdf OUTPUT.pdf
"""
import sys

import pypdf
from pypdf.generic import DecodedStreamObject, NameObject

XMP = (b'<?xpacket begin="" id="W5M0MpCehiHzreSzNTczkc9d"?>'
       b'<x:xmpmeta xmlns:x="adobe:ns:meta/"><dc:title>Referral form</dc:title></x:xmpmeta>'
       b'<?xpacket end="w"?>')


def main(source, output):
    writer = pypdf.PdfWriter()
    writer.clone_reader_document_root(pypdf.PdfReader(source))
    metadata = DecodedStreamObject()
    metadata.set_data(XMP)
    metadata[NameObject("/Type")] = NameObject("/Metadata")
    metadata[NameObject("/Subtype")] = NameObject("/XML")
    writer._root_object[NameObject("/Metadata")] = writer._add_object(metadata)
    with open(output, "wb") as out:
        writer.write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
