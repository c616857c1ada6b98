#!/usr/bin/python3
"""Side by side: our `waybill print` and Debian's glabels-3-batch merging the
same recipient rows into a comparable label (template 1: its page and its 20
field boxes as glabels text objects).  Prints seconds and peak memory.

usage: glabels_side_by_side.py WAYBILL JET FOLDER [ROWS]
"""
import csv, json, os, subprocess, sys, time, resource

waybill, jet, folder = sys.argv[1], sys.argv[2], sys.argv[3]
rows = int(sys.argv[4]) if len(sys.argv) > 4 else 1000
pw = '531864297305'
os.makedirs(folder, exist_ok=True)
db = os.path.join(folder, 'data.mdb')
if os.path.exists(db):
    os.remove(db)
subprocess.run([jet, 'create', db], check=True)
sender = ["晨帆网店", "广州", "晨帆电子商务有限公司", "510000", "广州市天河区体育西路1号", "13600001111",
          "020-38880000", "王芳", "", "2026", "12", "11"]
subprocess.run([jet, 'append', db, 'outr', '--password', pw], input=json.dumps(sender, ensure_ascii=False).encode(), check=True)
recipients = []
for i in range(rows):
    city = ["北京", "上海", "广州", "深圳", "杭州"][i % 5]
    recipients.append(["王伟", city, city + "贸易有限公司", "310012", city + "市人民路%d号" % i, "138%08d" % i,
                       "0571-88886666", "衣服", "1", "%012d" % i, "工作日送达"])
subprocess.run([jet, 'append', db, 'inr', '--password', pw],
               input='\n'.join(json.dumps(r, ensure_ascii=False) for r in recipients).encode(), check=True)

# The same template 1 boxes (px at 96 dpi) as glabels text objects.
boxes = [("S", 0, 120, 100, 97, 22), ("S", 5, 272, 88, 175, 22), ("S", 6, 272, 110, 175, 22), ("S", 2, 128, 132, 319, 22),
         ("S", 4, 104, 155, 343, 22), ("S", 3, 328, 178, 119, 22), ("R", 0, 120, 216, 100, 22), ("R", 5, 272, 205, 175, 22),
         ("R", 6, 272, 228, 175, 22), ("R", 2, 128, 250, 319, 22), ("R", 4, 104, 273, 343, 42), ("R", 1, 128, 317, 169, 22),
         ("R", 3, 328, 317, 119, 22), ("R", 8, 88, 363, 57, 22), ("R", 7, 128, 386, 319, 22), ("S", 7, 672, 195, 105, 22),
         ("S", 9, 624, 222, 49, 22), ("S", 10, 685, 222, 25, 22), ("S", 11, 717, 222, 25, 22), ("R", 10, 648, 368, 121, 41)]
csv_path = os.path.join(folder, 'rows.csv')
with open(csv_path, 'w', newline='', encoding='utf-8') as f:
    w = csv.writer(f)
    w.writerow(['S%d' % i for i in range(12)] + ['R%d' % i for i in range(11)])
    for r in recipients[:rows]:
        w.writerow(sender + r)
objs = []
for role, col, x, y, wd, ht in boxes:
    objs.append('<Object-text a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" x="%spt" y="%spt" w="%spt" h="%spt" '
                'justify="Left" valign="Top" auto_shrink="False" lock_aspect_ratio="False" shadow="False">'
                '<Span font_family="Noto Serif CJK SC" font_size="11.25" font_weight="Bold" font_italic="False" '
                'font_underline="False" color="0x000000ff" line_spacing="1"><Field name="%s%d"/></Span></Object-text>'
                % (x * .75, y * .75, wd * .75, ht * .75, role, col))
doc = ('<?xml version="1.0"?>\n<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">'
       '<Template brand="Waybill" part="T1" size="Other" width="230mm" height="127mm" description="template 1">'
       '<Meta category="label"/><Label-rectangle id="0" width="230mm" height="127mm" round="0pt" x_waste="0pt" y_waste="0pt">'
       '<Markup-margin size="0pt"/><Layout nx="1" ny="1" x0="0pt" y0="0pt" dx="230mm" dy="127mm"/></Label-rectangle></Template>'
       '<Objects id="0" rotate="False">' + ''.join(objs) + '</Objects>'
       '<Merge type="Text/Comma/Line1Keys" src="%s"/></Glabels-document>\n' % csv_path)
label = os.path.join(folder, 'waybill.glabels')
open(label, 'w', encoding='utf-8').write(doc)

def timed(cmd):
    start = time.time()
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(p.pid, 0)
    return time.time() - start, usage.ru_maxrss / 1024, os.waitstatus_to_exitcode(status)

ours = timed([waybill, 'print', '--window', 'TPdForm', '--template', '1', '--pdf', os.path.join(folder, 'ours.pdf'), '--db', db])
print('%d waybills of template 1 to PDF' % rows)
print('  waybill print     %7.2f s  %7.0f MB peak  exit %d   %.0f pages/s' % (ours + (rows / ours[0],)))
# glabels needs minutes and many gigabytes past a thousand labels.
if rows <= 1000:
    theirs = timed(['glabels-3-batch', '-o', os.path.join(folder, 'glabels.pdf'), label])
    pages = subprocess.run(['pdfinfo', os.path.join(folder, 'glabels.pdf')], capture_output=True, text=True).stdout
    print('  glabels-3-batch   %7.2f s  %7.0f MB peak  exit %d' % theirs)
    print('  glabels pages: ' + ''.join(l.split()[-1] for l in pages.splitlines() if l.startswith('Pages')))
    if ours[2] == 0 and theirs[2] == 0:
        print('  ours %.1fx faster' % (theirs[0] / ours[0]))
