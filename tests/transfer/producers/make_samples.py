#!/usr/bin/env python3
"""Writes one small import file per producer into the folder named, byte for byte as that program
writes it: the golden samples the import test reads."""
import pathlib
import sys

UID_A, UID_B = 'a1b2c3d4-0000-4000-8000-000000000001', 'a1b2c3d4-0000-4000-8000-000000000002'


# Excel, WPS and our export quote a cell only when it holds one of specials; Outlook every cell.
def sheet(table, sep, specials):
    def field(v):
        quoted = specials is None or any(c in v for c in specials)
        return '"' + v.replace('"', '""') + '"' if quoted else v
    return ''.join(sep.join(field(c) for c in row) + '\r\n' for row in table)


# Android's quoted-printable: non-ASCII bytes as =XX, soft breaks keep lines under 76 octets.
def qp(prefix, text):
    out, line = [], prefix + ';CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:'
    for byte in text.encode('utf-8'):
        piece = chr(byte) if 32 < byte < 127 and byte != 61 else '=%02X' % byte
        if len(line) + len(piece) > 73:
            out.append(line + '=')
            line = ''
        line += piece
    return '\r\n'.join(out + [line])


def cards(*bodies):
    return ''.join('BEGIN:VCARD\r\n' + ''.join(l + '\r\n' for l in b) + 'END:VCARD\r\n'
                   for b in bodies)


CSV = ',"\n'
NATALIS_TITLES = ['生日名称', '类别', '联系方式', '生日备注', '公历生日', '农历生日', '提醒方式',
                  '提醒天数', '短信提醒', '性别', '部门/类型', 'QQ/MSN', '公司名称', '地址',
                  '工号/卡号', 'UID']
APPLE = ['VERSION:3.0', 'PRODID:-//Apple Inc.//iPhone OS 17.2//EN']
ANDROID_NOTE = '高中同学,每年聚会都来,喜欢吃辣,送礼物之前先问问她最近想要什么东西'

SAMPLES = {
    # Excel "CSV (逗号分隔)": the ANSI code page (GBK), dates as the cells show them; a mobile
    # number in a General cell becomes its exponent form.
    'excel.csv': sheet([['姓名', '性别', '生日', '手机', '分组', '备注'],
                        ['张三', '男', '1985/3/12', '13812345678', '同事', '爱喝"龙井"'],
                        ['李四', '女', '1990/1/31', '1.39123E+10', '朋友', '北京,海淀'],
                        ['王五', '', '', '13700001111', '家人', '']], ',', CSV).encode('gbk'),
    # Excel "Unicode 文本": UTF-16 LE with its mark, tabs; a cell with a line break, a tab or a
    # quote is quoted.
    'excel-unicode.txt': b'\xff\xfe' + sheet(
        [['姓名', '生日', '手机', '备注'], ['王芳', '1985-3-12', '13800001111', '说"好"\n再见'],
         ['赵六', '1979年8月1日', '', '']], '\t', '\t"\n').encode('utf-16-le'),
    # WPS 表格's CSV: UTF-8 with a byte order mark, ISO dates, a lunar birthday column.
    'wps.csv': b'\xef\xbb\xbf' + sheet(
        [['姓名', '出生日期', '农历生日', '电话', '备注'], ['孙七', '1960-10-05', '', '075512345678', ''],
         ['周八', '', '2006-闰07-15', '13800003333', '闰月生']], ',', CSV).encode('utf-8'),
    # Outlook's "逗号分隔值" export on a Chinese system: GBK, every field quoted, the name in two
    # columns, 0/0/00 for no birthday, columns natalis has no field for.
    'outlook-zh.csv': sheet(
        [['名', '中间名', '姓', '单位', '生日', '移动电话', '类别', '附注'],
         ['三', '', '张', '某公司', '1985/3/12', '138 1234 5678', '同事', ''],
         ['四', '', '李', '', '0/0/00', '13912345678', '', '无生日']], ',', None).encode('gbk'),
    # The same in English: US dates; a home phone where there is no mobile one.
    'outlook-en.csv': sheet(
        [['First Name', 'Middle Name', 'Last Name', 'Birthday', 'Mobile Phone', 'Home Phone',
          'Categories', 'Notes'],
         ['John', 'Q', 'Smith', '3/12/1985', '+86 138 1234 5678', '', '', 'Met in "Shanghai"'],
         ['Mary', '', 'Jones', '12/1/1990', '', '(010) 8888-6666', '', '']], ',', None).encode('cp1252'),
    # iPhone contacts (vCard 3.0): typed TEL, BDAY as a date value, the year left out as 1604.
    'iphone.vcf': cards(
        APPLE + ['N:张;三;;;', 'FN:张三', 'TEL;type=CELL;type=VOICE;type=pref:138 0013 8000',
                 'BDAY;value=date:1980-05-12'],
        APPLE + ['N:吴;九;;;', 'FN:吴九', 'BDAY;X-APPLE-OMIT-YEAR=1604;value=date:1604-06-18'],
        APPLE + ['N:郑;十;;;', 'FN:郑十', 'UID:7D0E6C4A-3F0B-4E0A-9B3A-5A4C2E1F0A11',
                 'BDAY;value=date:1990-01-31']).encode('utf-8'),
    # Android contacts (vCard 2.1): UTF-8 in quoted-printable, soft breaks, bare TEL types.
    'android.vcf': cards(
        ['VERSION:2.1', qp('N', '李;四;;;'), qp('FN', '李四'), 'TEL;CELL:139-1234-5678',
         'BDAY:1990-01-31', qp('NOTE', ANDROID_NOTE)],
        ['VERSION:2.1', qp('FN', '无生日'), 'TEL;HOME:010-62345678']).encode('utf-8'),
    # natalis's own CSV: UTF-8 with its mark, every field, the Uid last.
    'natalis.csv': b'\xef\xbb\xbf' + sheet(
        [NATALIS_TITLES,
         ['妈妈', '家人', '13800000000', '', '1950-12-7', '1950-10-28', '按农历提醒',
          '3', '是', '女', '', '', '', '', '', UID_A],
         ['老王', '同事', '', '', '', '', '按公历提醒', '7', '否', '男', '销售部', '12345', '某公司',
          '北京', 'A-01', UID_B]], ',', CSV).encode('utf-8'),
    # natalis's own vCard: the standard properties and ours.
    'natalis.vcf': cards(
        ['VERSION:3.0', 'FN:妈妈', 'N:妈妈;;;;', 'TEL;TYPE=CELL:13800000000', 'BDAY:1950-12-07',
         'X-ALTBDAY;CALSCALE=chinese:007700271028', 'CATEGORIES:家人', 'GENDER:F',
         'X-NATALIS-RULE:LUNAR', 'X-NATALIS-DAYS:3', 'X-NATALIS-SMS:TRUE', 'UID:urn:uuid:' + UID_A],
        ['VERSION:3.0', 'FN:老王', 'N:老王;;;;', 'ORG:某公司;销售部', 'ADR;TYPE=HOME:;;北京;;;;',
         'CATEGORIES:同事', 'GENDER:M', 'X-NATALIS-RULE:GREGORIAN', 'X-NATALIS-DAYS:7',
         'X-NATALIS-SMS:FALSE', 'X-NATALIS-QQ:12345', 'X-NATALIS-NO:A-01',
         'UID:urn:uuid:' + UID_B]).encode('utf-8'),
}


folder = pathlib.Path(sys.argv[1])
for name, content in SAMPLES.items():
    (folder / name).write_bytes(content)
