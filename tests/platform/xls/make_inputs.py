#!/usr/bin/python3
"""Makes the .xls files the reader tests read, with xlwt, into a folder.

Usage: /usr/bin/python3 make_inputs.py FOLDER

Written by another program than ours on purpose: the reader must take what
other programs write (number cells of both kinds xlwt writes, RK integers
and 8-byte floats; dates with date formats; blank cells), and our own
writer writes text only.
"""
import datetime
import os
import subprocess
import sys
import zipfile

import xlwt


def customers(folder):
    """The sheet "Sheet1" among others, with every kind of cell."""
    wb = xlwt.Workbook(encoding="utf-8")
    other = wb.add_sheet("说明")
    other.write(0, 0, "这一页不是客户列表")
    sheet = wb.add_sheet("Sheet1")
    wb.add_sheet("Sheet2").write(0, 0, "x")

    date = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    datetime_style = xlwt.easyxf(num_format_str="YYYY-MM-DD HH:MM:SS")
    time_style = xlwt.easyxf(num_format_str="HH:MM:SS")

    titles = ["姓名", " 手机 ", "数量", "单价", "日期", "备注", "时刻", "时间"]
    for c, t in enumerate(titles):
        sheet.write(0, c, t)
    # Row 1: text, a phone number typed as a number (an 8-byte float cell),
    # a small integer (an RK cell), a fraction, a date; nothing at the end.
    sheet.write(1, 0, "张三")
    sheet.write(1, 1, 13800138000.0)
    sheet.write(1, 2, 3)
    sheet.write(1, 3, 0.5)
    sheet.write(1, 4, datetime.date(2024, 3, 5), date)
    # Row 2: an empty cell in the middle (column 1), negative numbers, a
    # large whole number, a date-time and a time.
    sheet.write(2, 0, "Li Si")
    sheet.write(2, 2, -5)
    sheet.write(2, 3, -2.75)
    sheet.write(2, 5, "请在工作日送达")
    sheet.write(2, 6, datetime.datetime(2023, 12, 31, 23, 59, 58), datetime_style)
    sheet.write(2, 7, datetime.time(8, 30, 0), time_style)
    # Row 3: numbers that print differently from Python's repr.
    sheet.write(3, 0, "王五")
    sheet.write(3, 1, 100000)
    sheet.write(3, 2, 3.14)
    sheet.write(3, 3, 0.1 + 0.2)
    sheet.write(3, 5, 1e-7)
    # Row 4 is empty; row 5 has one cell, further right than the others'.
    sheet.write(5, 0, "0571")  # text that looks like a number
    wb.save(os.path.join(folder, "customers.xls"))


def other_sheets(folder):
    """No sheet named "Sheet1"; one named "Data" (for the case test)."""
    wb = xlwt.Workbook(encoding="utf-8")
    wb.add_sheet("客户").write(0, 0, "姓名")
    wb.add_sheet("Data").write(0, 0, "name")
    wb.save(os.path.join(folder, "no_sheet1.xls"))


def formatted_tail(folder):
    """Data in A1:B2, and blank formatted cells far below and to the right:
    the sheet's dimensions cover them, its text does not."""
    wb = xlwt.Workbook(encoding="utf-8")
    sheet = wb.add_sheet("Sheet1")
    sheet.write(0, 0, "姓名")
    sheet.write(0, 1, "城市")
    sheet.write(1, 0, "赵六")
    sheet.write(1, 1, "深圳")
    yellow = xlwt.easyxf("pattern: pattern solid, fore_colour yellow")
    for r in range(2, 40):
        sheet.write(r, 0, "", yellow)
    sheet.write(3, 20, "", yellow)
    wb.save(os.path.join(folder, "formatted_tail.xls"))


def big(folder):
    """3,000 rows: enough for the shared strings to need CONTINUE records,
    and for xlwt to split strings across them."""
    wb = xlwt.Workbook(encoding="utf-8")
    sheet = wb.add_sheet("Sheet1")
    for c, t in enumerate(["编号", "地址", "手机"]):
        sheet.write(0, c, t)
    for r in range(1, 3001):
        sheet.write(r, 0, "%05d" % r)
        sheet.write(r, 1, "浙江省杭州市西湖区文三路%d号%d室" % (r, r % 700))
        sheet.write(r, 2, 13900000000 + r)
    wb.save(os.path.join(folder, "big.xls"))


def formulas(folder):
    """Formulas with their last results, which xlwt does not compute:
    Gnumeric opens xlwt's file, recalculates and saves it again."""
    wb = xlwt.Workbook(encoding="utf-8")
    sheet = wb.add_sheet("Sheet1")
    date = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    sheet.write(0, 0, "数量")
    sheet.write(0, 1, "公式")
    sheet.write(1, 0, 3)
    sheet.write(1, 1, xlwt.Formula("A2*0.5"))
    sheet.write(2, 0, "张")
    sheet.write(2, 1, xlwt.Formula('A3&"三"'))
    sheet.write(3, 1, xlwt.Formula("1/0"))
    sheet.write(4, 1, xlwt.Formula("DATE(2024,3,5)"), date)
    sheet.write(5, 1, xlwt.Formula("1=1"))
    sheet.write(6, 1, xlwt.Formula('""'))
    sheet.write(7, 1, xlwt.Formula("13800138000+0"))
    sheet.write(8, 0, True)
    sheet.write(8, 1, False)
    sheet.row(9).set_cell_error(0, 0x2A)  # #N/A
    source = os.path.join(folder, "formulas-xlwt.xls")
    wb.save(source)
    subprocess.run(["ssconvert", "--recalc", source, os.path.join(folder, "formulas.xls")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.remove(source)


def long_texts(folder):
    """Texts too long for two records of the shared string table, in
    between short ones, as xlwt splits them."""
    wb = xlwt.Workbook(encoding="utf-8")
    sheet = wb.add_sheet("Sheet1")
    sheet.write(0, 0, "编号")
    sheet.write(0, 1, "备注")
    for r in range(1, 41):
        sheet.write(r, 0, "%03d" % r)
        if r % 10 == 0:
            sheet.write(r, 1, ("长备注%d" % r) * 3000)  # 15,000 and more CJK characters
        elif r % 10 == 5:
            sheet.write(r, 1, ("note %d " % r) * 4000)  # 28,000 and more Latin ones
        else:
            sheet.write(r, 1, "短%d" % r)
    sheet.write(1, 2, 42)
    wb.save(os.path.join(folder, "long_texts.xls"))


def not_workbooks(folder):
    with open(os.path.join(folder, "text.xls"), "w", encoding="utf-8") as f:
        f.write("姓名,手机\n张三,13800138000\n")
    open(os.path.join(folder, "empty.xls"), "wb").close()
    with zipfile.ZipFile(os.path.join(folder, "book.xlsx.xls"), "w") as z:
        z.writestr("[Content_Types].xml", "<Types/>")
    with open(os.path.join(folder, "customers.xls"), "rb") as f:
        whole = f.read()
    with open(os.path.join(folder, "truncated.xls"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(folder, "header_only.xls"), "wb") as f:
        f.write(whole[:512])
    # The compound file signature, then garbage.
    with open(os.path.join(folder, "garbage.xls"), "wb") as f:
        f.write(whole[:8] + bytes((i * 37 + 11) % 256 for i in range(4096)))


def main():
    folder = sys.argv[1]
    customers(folder)
    other_sheets(folder)
    formatted_tail(folder)
    big(folder)
    formulas(folder)
    long_texts(folder)
    not_workbooks(folder)


if __name__ == "__main__":
    main()
