#!/usr/bin/python3
"""Writes samples/sample.dxf, the drawing the README's walk-through uses.

Run it with the system Python (python3-ezdxf) from anywhere:
    /usr/bin/python3 samples/make_sample.py
"""
import math
import os
import sys

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def attdef(block, tag, prompt, default, x, y, layer="0", const=False, height=2.5):
    flags = ezdxf.const.ATTRIB_CONST if const else 0
    block.add_attdef(tag, insert=(x, y), text=default, height=height,
                     dxfattribs={"prompt": prompt, "flags": flags, "layer": layer})


def main(path):
    doc = ezdxf.new("R2013", setup=True)
    doc.header["$LUNITS"] = 2  # decimal
    doc.header["$LUPREC"] = 2
    doc.header["$AUNITS"] = 0  # decimal degrees
    doc.header["$AUPREC"] = 1
    doc.header["$INSUNITS"] = 4  # millimetres

    for name, color in (("Doors", 1), ("Windows", 5), ("Furniture", 3), ("Title", 7), ("Walls", 8)):
        doc.layers.add(name, color=color)

    door = doc.blocks.new("DOOR")
    door.add_lwpolyline([(0, 0), (900, 0), (900, 50), (0, 50)], close=True)
    door.add_arc((0, 0), 900, 0, 90)
    attdef(door, "NUMBER", "Door number", "D-00", 0, 100)
    attdef(door, "WIDTH", "Clear width (mm)", "900", 0, 140)
    attdef(door, "FIRE_RATING", "Fire rating", "none", 0, 180)

    # Tags deliberately out of alphabetical order.
    window = doc.blocks.new("WINDOW")
    window.add_lwpolyline([(0, 0), (1200, 0), (1200, 100), (0, 100)], close=True)
    attdef(window, "TYPE", "Window type", "W1", 0, 150)
    attdef(window, "HEIGHT", "Height (mm)", "1500", 0, 190)
    attdef(window, "GLAZING", "Glazing", "double", 0, 230)

    # One constant attribute: references carry no ATTRIB for it.
    title = doc.blocks.new("TITLE")
    title.add_lwpolyline([(0, 0), (180, 0), (180, 40), (0, 40)], close=True)
    attdef(title, "COMPANY", "Company", "Norvale Architects", 5, 30, const=True)
    attdef(title, "PROJECT", "Project", "Untitled", 5, 20)
    attdef(title, "DRAWN_BY", "Drawn by", "", 5, 10)
    attdef(title, "SHEET", "Sheet", "1", 150, 10)

    chair = doc.blocks.new("CHAIR")  # no attributes
    chair.add_circle((0, 0), 250)
    chair.add_line((-250, 0), (250, 0))

    # A room block holding a door reference with its own attributes.
    room = doc.blocks.new("ROOM")
    room.add_lwpolyline([(0, 0), (4000, 0), (4000, 3000), (0, 3000)], close=True, dxfattribs={"layer": "Walls"})
    inner = room.add_blockref("DOOR", (1500, 0), dxfattribs={"layer": "Doors"})
    inner.add_auto_attribs({"NUMBER": "R-01", "WIDTH": "800"})

    anonymous = doc.blocks.new_anonymous_block()  # *U..., as hatches and groups make them
    anonymous.add_line((0, 0), (500, 500))

    msp = doc.modelspace()
    for i, (number, width, x) in enumerate((("D-01", "900", 0), ("D-02", "1000", 3000), ("D-03", "800", 6000))):
        ref = msp.add_blockref("DOOR", (x, 0), dxfattribs={"layer": "Doors", "rotation": 90 * (i % 2)})
        ref.add_auto_attribs({"NUMBER": number, "WIDTH": width, "FIRE_RATING": "EI30" if i == 1 else "none"})
    for typ, x in (("W1", 0), ("W2", 2000)):
        ref = msp.add_blockref("WINDOW", (x, 4000), dxfattribs={"layer": "Windows"})
        ref.add_auto_attribs({"TYPE": typ, "HEIGHT": "1500", "GLAZING": "triple" if typ == "W2" else "double"})
    msp.add_blockref("CHAIR", (1000, 1500), dxfattribs={"layer": "Furniture"})
    msp.add_blockref("CHAIR", (2000, 1500), dxfattribs={"layer": "Furniture", "xscale": 1.5, "yscale": 1.5})
    msp.add_blockref("ROOM", (10000, 0), dxfattribs={"layer": "Walls"})
    msp.add_blockref(anonymous.name, (0, -1000))

    layout = doc.layouts.get("Layout1")
    sheet = layout.add_blockref("TITLE", (200, 10), dxfattribs={"layer": "Title"})
    sheet.add_auto_attribs({"PROJECT": "Gridwell sample", "DRAWN_BY": "JS", "SHEET": "1"})
    plan = doc.layouts.new("Plan")
    sheet = plan.add_blockref("TITLE", (200, 10), dxfattribs={"layer": "Title"})
    sheet.add_auto_attribs({"PROJECT": "Gridwell sample", "DRAWN_BY": "JS", "SHEET": "2"})

    doc.saveas(path)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "sample.dxf"))
