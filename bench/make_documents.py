#!/usr/bin/env python3
"""Makes a set of current documents of every kind carved whole, with LibreOffice
(headless) and Info-ZIP zip, into OUTDIR.

  bench/make_documents.py OUTDIR [--variants N] [--seed S]

Each variant gives one document of each kind: docx, xlsx, pptx, odt, ods, odp, epub,
pdf (one of them with an incremental update appended), rtf, doc, xls, ppt, a deflated
zip, a zip whose entry has a data descriptor, a ZIP64 zip, and a stored zip holding a
Word document. Sizes grow with the variant number (more text, more rows, an image).
"""
import argparse, base64, os, re, random, shutil, struct, subprocess, sys, tempfile, zlib

WORDS = ("recovery sector journal tree leaf node item key block bitmap volume disk report "
         "folder file record window header marker archive document table figure").split()


def text(rng, words):
    return " ".join(rng.choice(WORDS) for _ in range(words))


def png(rng, side):
    raw = b"".join(b"\0" + bytes(rng.randrange(256) for _ in range(side * 3)) for _ in range(side))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def flat_text(rng, paragraphs, image):
    body = "".join("<text:p>%s { braces } \\ back</text:p>" % text(rng, 60) for _ in range(paragraphs))
    if image:
        body += ('<text:p><draw:frame svg:width="4cm" svg:height="4cm"><draw:image><office:binary-data>%s'
                 '</office:binary-data></draw:image></draw:frame></text:p>' % base64.b64encode(image).decode())
    return ('<?xml version="1.0"?><office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
            'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
            'office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">'
            '<office:body><office:text>%s</office:text></office:body></office:document>' % body)


def flat_presentation(rng, slides):
    pages = "".join('<draw:page draw:name="p%d"><draw:frame svg:x="2cm" svg:y="2cm" svg:width="20cm" '
                    'svg:height="10cm"><draw:text-box><text:p>%s</text:p></draw:text-box></draw:frame></draw:page>'
                    % (i, text(rng, 40)) for i in range(slides))
    return ('<?xml version="1.0"?><office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
            'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
            'office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.presentation">'
            '<office:body><office:presentation>%s</office:presentation></office:body></office:document>' % pages)


def convert(source, kinds, outdir):
    for kind in kinds:
        subprocess.run(["soffice", "--headless", "--convert-to", kind, "--outdir", outdir, source],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def append_update(pdf):
    """An incremental update: a new Info object, its cross-reference section and trailer."""
    data = open(pdf, "rb").read()
    startxref = int(data[data.rindex(b"startxref") + 9:].split()[0])
    size = int(re.search(rb"/Size\s*(\d+)", data[data.rindex(b"trailer"):]).group(1))
    root = re.search(rb"/Root\s*\d+\s+\d+\s+R", data[data.rindex(b"trailer"):]).group(0)
    offset = len(data)
    update = b"%d 0 obj\n<</Title (updated)>>\nendobj\n" % size
    xref = offset + len(update)
    update += b"xref\n%d 1\n%010d 00000 n \ntrailer\n<</Size %d %s /Info %d 0 R /Prev %d>>\nstartxref\n%d\n%%%%EOF\n" % (
        size, offset, size + 1, root, size, startxref, xref)
    open(pdf, "ab").write(update)


def variant(index, rng, outdir, work):
    tag = "v%02d" % index
    image = png(rng, 40 + 20 * index) if index % 2 else None
    source = os.path.join(work, tag + "-text.fodt")
    open(source, "w").write(flat_text(rng, 5 + 15 * index, image))
    convert(source, ["docx", "odt", "rtf", "pdf", "doc", "epub"], work)
    sheet = os.path.join(work, tag + "-sheet.csv")
    with open(sheet, "w") as f:
        for row in range(20 + 200 * index):
            f.write("%d,%s,%d.%02d\n" % (row, rng.choice(WORDS), rng.randrange(10000), rng.randrange(100)))
    convert(sheet, ["xlsx", "ods", "xls"], work)
    slides = os.path.join(work, tag + "-slides.fodp")
    open(slides, "w").write(flat_presentation(rng, 3 + 2 * index))
    convert(slides, ["pptx", "odp", "ppt"], work)
    if index % 2 == 0:
        append_update(os.path.join(work, tag + "-text.pdf"))
    notes = os.path.join(work, tag + "-notes.txt")
    open(notes, "w").write("\n".join(text(rng, 30) for _ in range(50 + 100 * index)))
    blob = os.path.join(work, tag + "-blob.bin")
    open(blob, "wb").write(rng.randbytes(4000 + 20000 * index))
    run = lambda *args, **kw: subprocess.run(args, check=True, cwd=work, stdout=subprocess.DEVNULL, **kw)
    run("zip", "-q", "-X", tag + "-deflated.zip", os.path.basename(notes), os.path.basename(blob))
    with open(os.path.join(work, tag + "-streamed.zip"), "wb") as stdout:  # written to a pipe: data descriptors
        subprocess.run("zip -q -X - %s | cat" % os.path.basename(notes), shell=True, check=True, cwd=work, stdout=stdout)
    run("zip", "-q", "-X", "-fz", tag + "-zip64.zip", os.path.basename(notes), os.path.basename(sheet))
    run("zip", "-q", "-X", "-0", tag + "-stored-doc.zip", tag + "-text.doc", os.path.basename(notes))
    for name in os.listdir(work):
        if name.startswith(tag) and not name.endswith((".fodt", ".fodp", ".csv", ".txt", ".bin")):
            shutil.copy(os.path.join(work, name), os.path.join(outdir, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--variants", type=int, default=1)
    parser.add_argument("--seed", type=int, default=15)
    args = parser.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    rng = random.Random(args.seed)
    with tempfile.TemporaryDirectory() as work:
        for index in range(args.variants):
            variant(index, rng, args.outdir, work)


if __name__ == "__main__":
    sys.exit(main())
