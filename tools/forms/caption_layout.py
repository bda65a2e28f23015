# Places the printed captions of the claim form: each at a readable size where it crosses no field
# and no other caption, shortened word by word where its place is narrow.

CAPTION_SIZE = 6.0
# The form's red at full strength (RGB 204, 0, 0): captions must read at screen size.
CAPTION_RED = (0.8, 0.0, 0.0)
CAP_HEIGHT = 0.72   # of the font size: captions are upper case
DESCENT = 0.21      # of the font size, for texts with a glyph below the line ("Q", a comma)
_DESCENDING = set("Q,;()$/[]{}|@_gjpqy")

# Advance widths of the standard sans-serif font, in thousandths of the font size (ASCII 32-126).
_WIDTHS = [
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,   # space to /
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,   # 0 to ?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  # @ to O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,   # P to _
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,   # ` to o
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,        # p to ~
]


def text_width(text, size):
    return sum(_WIDTHS[ord(c) - 32] if 32 <= ord(c) <= 126 else 1000 for c in text) * size / 1000.0


def overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


class CaptionPlacer:
    """Captions placed one after another against the page's fields, boxes and earlier captions."""

    def __init__(self, page_area, obstacles):
        self.page_area = page_area
        self.obstacles = list(obstacles)
        self.placed = []   # (x, baseline, text, rect, knock_out)

    def text_rect(self, x, baseline, text):
        descent = DESCENT * CAPTION_SIZE if _DESCENDING & set(text) else 0.0
        return (x, baseline - descent, x + text_width(text, CAPTION_SIZE),
                baseline + CAP_HEIGHT * CAPTION_SIZE)

    def free(self, rect):
        a = self.page_area
        if rect[0] < a[0] or rect[1] < a[1] or rect[2] > a[2] or rect[3] > a[3]:
            return False
        return not any(overlaps(rect, o) for o in self.obstacles)

    def try_place(self, text, x, baseline, max_width, align_right=False, knock_out=False):
        """The longest leading words of text that fit max_width and a free place; True when placed."""
        words = text.split()
        for count in range(len(words), 0, -1):
            shown = " ".join(words[:count])
            width = text_width(shown, CAPTION_SIZE)
            if width > max_width:
                continue
            left = x - width if align_right else x
            rect = self.text_rect(left, baseline, shown)
            if self.free(rect):
                self.placed.append((left, baseline, shown, rect, knock_out))
                self.obstacles.append(rect)
                return True
        return False

    def place_field_caption(self, text, box, field_rect):
        """A text field's caption: in the free row above its box, else in the strip of the box above
        the field, where it reaches over the box's top line (the line is cut out behind it)."""
        width = box[2] - box[0] - 2.5
        if self.try_place(text, box[0] + 2, box[3] + 1.5, width):
            return True
        return self.try_place(text, box[0] + 2, field_rect[3] + 0.05, width, knock_out=True)

    def place_check_caption(self, text, rect):
        """A check box's caption: at its right, else above it, else at its left."""
        middle = (rect[1] + rect[3]) / 2 - CAP_HEIGHT * CAPTION_SIZE / 2
        return (self.try_place(text, rect[2] + 1.2, middle, 80) or
                self.try_place(text, rect[0], rect[3] + 1.2, 40) or
                self.try_place(text, rect[0] - 1.2, middle, 40, align_right=True))
