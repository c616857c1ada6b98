#!/usr/bin/python3
"""Makes the spreadsheets the import tests read, with xlwt, into a folder.

Usage: /usr/bin/python3 make_orders.py FOLDER

Another program than ours writes them on purpose: a shop's lists come from
Excel or WPS, with numbers typed as numbers and dates as dates.
"""
import datetime
import os
import sys

import xlwt

COLUMNS = ["姓名", "城市", "收件单位", "邮编", "地址", "手机", "电话", "内件品名", "数量", "运单号", "备注"]


def orders(path, sheet_name="Sheet1", drop=None):
    """Two orders, the columns shuffled among others, a blank row between."""
    wb = xlwt.Workbook(encoding="utf-8")
    wb.add_sheet("说明").write(0, 0, "订单导出")
    sheet = wb.add_sheet(sheet_name)
    titles = ["订单号", "运单号", "姓名", "手机", "城市", "地址", "邮编", "收件单位", "电话", "内件品名", "数量", "备注", "金额"]
    if drop:
        titles.remove(drop)
    date = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    rows = [
        {"订单号": 9001, "运单号": 268812345678.0, "姓名": "张伟", "手机": 13800138000.0, "城市": "杭州",
         "地址": "杭州市西湖区文三路478号", "邮编": 310012, "收件单位": "西湖贸易", "电话": "0571-88886666",
         "内件品名": "茶叶", "数量": 2, "备注": datetime.date(2024, 3, 5), "金额": 12.5},
        None,
        {"订单号": 9002, "运单号": "SF1234567890", "姓名": "Li Na", "手机": "13912345678", "城市": "上海",
         "地址": "上海市浦东新区世纪大道100号", "邮编": "010000", "收件单位": "", "电话": "",
         "内件品名": "书籍", "数量": 1.5, "备注": "工作日送达", "金额": 3},
    ]
    for c, t in enumerate(titles):
        sheet.write(0, c, t)
    for r, row in enumerate(rows, start=1):
        if row is None:
            continue
        for c, t in enumerate(titles):
            v = row[t]
            if v == "":
                continue
            if isinstance(v, datetime.date):
                sheet.write(r, c, v, date)
            else:
                sheet.write(r, c, v)
    wb.save(path)


def main(folder):
    orders(os.path.join(folder, "orders.xls"))
    orders(os.path.join(folder, "no-quantity.xls"), drop="数量")
    orders(os.path.join(folder, "other-sheet.xls"), sheet_name="Orders")
    with open(os.path.join(folder, "not-a-sheet.xls"), "w", encoding="utf-8") as f:
        f.write("姓名,手机\n张伟,13800138000\n")


if __name__ == "__main__":
    main(sys.argv[1])
