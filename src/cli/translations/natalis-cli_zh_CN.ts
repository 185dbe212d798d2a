<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Help</name>
    <message>
        <source>what natalis reminds of at a moment</source>
        <translation>某一时刻 natalis 提醒的内容</translation>
    </message>
    <message>
        <source>add a birthday as the editor would</source>
        <translation>像编辑窗口那样增加一条生日</translation>
    </message>
    <message>
        <source>describe Gregorian days</source>
        <translation>说明公历日期</translation>
    </message>
    <message>
        <source>Gregorian text of a lunar text</source>
        <translation>农历日期对应的公历日期</translation>
    </message>
    <message>
        <source>normal form of an import lunar date</source>
        <translation>导入用农历日期的规范写法</translation>
    </message>
    <message>
        <source>Usage: natalis-cli %1</source>
        <translation>用法: natalis-cli %1</translation>
    </message>
    <message>
        <source>Usage: natalis-cli COMMAND [ARGUMENTS]</source>
        <translation>用法: natalis-cli 命令 [参数]</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>命令:</translation>
    </message>
    <message>
        <source>&apos;natalis-cli COMMAND --help&apos; describes a command.</source>
        <translation>&apos;natalis-cli 命令 --help&apos; 说明一个命令。</translation>
    </message>
    <message>
        <source>write the birthdays as a phone calendar file (.ics)</source>
        <translation>把生日写成手机日历文件(.ics)</translation>
    </message>
    <message>
        <source>write the birthdays as phone contacts (.vcf)</source>
        <translation>把生日写成手机通讯录(.vcf)</translation>
    </message>
    <message>
        <source>send the automatic birthday SMS that are due</source>
        <translation>发送到期的自动生日短信</translation>
    </message>
    <message>
        <source>write every birthday to a tab-separated file</source>
        <translation>把所有生日写入制表符分割的文本文件</translation>
    </message>
    <message>
        <source>add the new birthdays of an import file</source>
        <translation>增加导入文件中的新生日</translation>
    </message>
    <message>
        <source>change a birthday as the editor would</source>
        <translation>像编辑窗口那样修改一条生日</translation>
    </message>
    <message>
        <source>delete a birthday</source>
        <translation>删除一条生日</translation>
    </message>
    <message>
        <source>what address-book syncs overruled, newest first</source>
        <translation>通讯录同步中被覆盖的内容,最新的在前</translation>
    </message>
    <message>
        <source>bring the calendar and address-book servers up to date</source>
        <translation>更新日历服务器和通讯录服务器上的生日</translation>
    </message>
    <message>
        <source>Prints what natalis reminds of at a moment, in three blocks separated by an empty
line: the heading of the day, the multi-line reminder text and the one-line text.</source>
        <translation>显示 natalis 在某一时刻提醒的内容,分三段,以空行隔开:
当天的标题、多行的提醒文字和单行的提醒文字。</translation>
    </message>
    <message>
        <source>the moment (default: NATALIS_NOW, else now)</source>
        <translation>提醒的时刻(缺省为 NATALIS_NOW,再缺省为现在)</translation>
    </message>
    <message>
        <source>生日名称 (required)</source>
        <translation>生日名称(必填)</translation>
    </message>
    <message>
        <source>生日类别: 同事 客户 代理商 供应商 家人 同学 朋友 其他 (required)</source>
        <translation>生日类别: 同事 客户 代理商 供应商 家人 同学 朋友 其他(必填)</translation>
    </message>
    <message>
        <source>公历日期 YYYY-MM-DD, or MM-DD without a year</source>
        <translation>公历日期,写作 YYYY-MM-DD,没有年份时写作 MM-DD</translation>
    </message>
    <message>
        <source>农历日期, e.g. 农历2006年闰07月15日, 2006-闰7-15, 1990年正月初一, or 闰7-15 without a year</source>
        <translation>农历日期,如 农历2006年闰07月15日、2006-闰7-15、1990年正月初一,没有年份时如 闰7-15</translation>
    </message>
    <message>
        <source>提醒方式: gl (按公历, default) or nl (按农历)</source>
        <translation>提醒方式: gl(按公历,缺省)或 nl(按农历)</translation>
    </message>
    <message>
        <source>提醒天数 0..14 (default 7), or several: 7,1,0</source>
        <translation>提醒天数 0..14(缺省 7),也可以是几个: 7,1,0</translation>
    </message>
    <message>
        <source>短信提醒: 是 or 否 (default 否)</source>
        <translation>短信提醒: 是 或 否(缺省 否)</translation>
    </message>
    <message>
        <source>性别: 男 or 女</source>
        <translation>性别: 男 或 女</translation>
    </message>
    <message>
        <source>Adds a birthday with the checks of the birthday editor. The other calendar&apos;s date is
computed as the date pickers compute it. A refusal prints the editor&apos;s message and
exits 2.</source>
        <translation>按生日编辑窗口的检查增加一条生日。另一种历法的日期按日期选择窗口的算法算出。
被拒绝时显示编辑窗口的提示,退出码为 2。</translation>
    </message>
    <message>
        <source>Changes the birthday --name of category --type with the checks of the birthday
editor: the fields given change, the others stay. --new-name and --new-type rename it
or move it to another category. A refusal prints the editor&apos;s message and exits 2.</source>
        <translation>按生日编辑窗口的检查修改类别 --type 中名为 --name 的生日:给出的字段修改,其余不变。
--new-name 和 --new-type 给它改名或把它移到另一类别。
被拒绝时显示编辑窗口的提示,退出码为 2。</translation>
    </message>
    <message>
        <source>Deletes the birthday --name of category --type.</source>
        <translation>删除类别 --type 中名为 --name 的生日。</translation>
    </message>
    <message>
        <source>Describes every Gregorian day from FROM to TO (inclusive), one tab-separated line a day:
date, lunar text, long text, lunar day name, solar term, month note, festivals.</source>
        <translation>说明从 FROM 到 TO(含)的每一个公历日,每天一行,以制表符分隔:
日期、农历文字、农历长文字、农历日名、节气、月份说明、节日。</translation>
    </message>
    <message>
        <source>first day, YYYY-MM-DD</source>
        <translation>第一天,写作 YYYY-MM-DD</translation>
    </message>
    <message>
        <source>last day, YYYY-MM-DD (default FROM)</source>
        <translation>最后一天,写作 YYYY-MM-DD(缺省同 FROM)</translation>
    </message>
    <message>
        <source>Prints the Gregorian text of a lunar text in the stored layout,
e.g. &quot;农历2006年闰07月15日&quot; or &quot;农历1976年 01月26日&quot;.</source>
        <translation>按存储的格式显示农历文字对应的公历文字,
如 &quot;农历2006年闰07月15日&quot; 或 &quot;农历1976年 01月26日&quot;。</translation>
    </message>
    <message>
        <source>the lunar text</source>
        <translation>农历文字</translation>
    </message>
    <message>
        <source>Prints the normal form of a lunar date as import files write it
(e.g. &quot;2006-闰7-15&quot; gives 2006-闰07-15); exits 1 when the date is refused.</source>
        <translation>按导入文件的写法显示农历日期的规范形式
(如 &quot;2006-闰7-15&quot; 得到 2006-闰07-15);日期不成立时退出码为 1。</translation>
    </message>
    <message>
        <source>the import lunar date</source>
        <translation>导入用的农历日期</translation>
    </message>
    <message>
        <source>database file (default: the one natalis opens)</source>
        <translation>数据库文件(缺省为 natalis 打开的那个)</translation>
    </message>
    <message>
        <source>Writes the birthdays to FILE as an iCalendar file (RFC 5545) a phone calendar
imports: a Gregorian birthday repeats yearly, a lunar one is written for each year on
the day the reminder computes, each with an alarm at 09:00 its advance days before.</source>
        <translation>把生日写入 FILE,成为手机日历能导入的 iCalendar 文件(RFC 5545):公历生日每年重复,
农历生日按提醒算出的日子逐年写出,都在提前的天数那天 09:00 提醒。</translation>
    </message>
    <message>
        <source>first year (default: this year; NATALIS_NOW sets the clock)</source>
        <translation>第一年(缺省为今年;NATALIS_NOW 设定时钟)</translation>
    </message>
    <message>
        <source>how many years (default 20, never past 2100)</source>
        <translation>写出的年数(缺省 20,不超过 2100 年)</translation>
    </message>
    <message>
        <source>add the eleven reminded festivals and the 24 solar terms</source>
        <translation>同时写出提醒的十一个节日和二十四节气</translation>
    </message>
    <message>
        <source>the .ics file to write</source>
        <translation>要写入的 .ics 文件</translation>
    </message>
    <message>
        <source>Writes every birthday to FILE as a vCard 3.0 contact a phone imports (name, number,
birthday, company, address, remark, category); import --layout vcf reads it back.</source>
        <translation>把所有生日写入 FILE,成为手机能导入的 vCard 3.0 联系人(姓名、号码、生日、公司、
地址、备注、类别);import --layout vcf 可以读回。</translation>
    </message>
    <message>
        <source>the .vcf file to write</source>
        <translation>要写入的 .vcf 文件</translation>
    </message>
    <message>
        <source>Exit codes: 0 every due greeting went out (or none was due); 1 the gateway refused a
batch; 2 bad arguments; 3 the gateway could not be reached or its answer was lost (the
next pass retries it without sending twice), or a greeting due today did not go out
before 22:00; 4 database error: the database could not be opened or read, or a batch&apos;s
record or sent mark could not be written. When several apply, the highest.</source>
        <translation>退出码: 0 到期的祝福都已发出(或没有到期的);1 网关拒绝了某一批;2 参数有误;
3 连不上网关或它的回答丢失(下次运行重试,不会重复发送),或当天到期的祝福在22:00前未发出;4 数据库错误:
数据库无法打开或读取,或某一批的记录或已发送标记无法写入。几种同时出现时取最大的。</translation>
    </message>
    <message>
        <source>Clears the SMS-sent marks of birthdays that have passed and runs the automatic birthday
SMS once, as the program does every ten minutes: greetings due are sent or scheduled
through the gateway stored in the database. Prints one line per batch.

</source>
        <translation>清除已过生日的短信已发送标记,并像程序每十分钟所做的那样运行一次自动生日短信:
到期的祝福通过数据库中保存的网关发送或预约。每一批显示一行。

</translation>
    </message>
    <message>
        <source>gateway base address instead of the stored one, e.g. http://127.0.0.1:8787</source>
        <translation>代替已保存网关的网关地址,如 http://127.0.0.1:8787</translation>
    </message>
    <message>
        <source>Puts the birthdays into the calendar collection at --calendar (made when missing) and
brings it up to date: lunar birthdays as one event a year for the years ahead, the
others as a yearly event. Only events natalis made are changed or deleted. Prints what
it created, updated and deleted and how many requests that took. https is required
except for a server on this computer or the local network.
With --addressbook it also syncs the birthdays both ways with that address book (made
when missing), one card per birthday, and prints what it pushed and pulled and the
conflicts it decided. When the address book is gone from the server, was emptied or
would take more than half of the birthdays here with it, nothing is deleted and the
exit code is 1 until --restore-server or --accept-deletions says what to do.
A failed sync prints no counts, only the reason, and exits with 1.</source>
        <translation>把生日放进 --calendar 所指的日历集合(不存在时建立)并使它保持最新:农历生日在今后
每年一个事件,其他生日为每年重复的事件。只修改或删除 natalis 建立的事件。显示新增、
更新和删除了什么,以及用了多少次请求。除本机或局域网中的服务器外,必须使用 https。
给出 --addressbook 时,还与该通讯录(不存在时建立)双向同步生日,每个生日一张名片,
并显示推送和拉取了什么,以及裁决的冲突。服务器上的通讯录已被删除、已被清空,或同步会带走
本机一半以上的生日时,什么也不删除,退出码为 1,直到用 --restore-server 或 --accept-deletions
说明怎么做。同步失败时不显示计数,只显示原因,退出码为 1。</translation>
    </message>
    <message>
        <source>put every birthday here back into the address book</source>
        <translation>把本机的每个生日放回通讯录</translation>
    </message>
    <message>
        <source>delete here too what the address book no longer has, however many</source>
        <translation>通讯录里已没有的生日在本机也删除,不论多少</translation>
    </message>
    <message>
        <source>the calendar collection&apos;s address</source>
        <translation>日历集合的地址</translation>
    </message>
    <message>
        <source>the address book&apos;s address</source>
        <translation>通讯录的地址</translation>
    </message>
    <message>
        <source>the category of new cards that name none (default: the settings&apos;, else 朋友)</source>
        <translation>未写类别的新名片的类别(缺省为设置中的,再缺省为 朋友)</translation>
    </message>
    <message>
        <source>the server&apos;s user name</source>
        <translation>服务器的用户名</translation>
    </message>
    <message>
        <source>a file whose first line is the password</source>
        <translation>第一行为密码的文件</translation>
    </message>
    <message>
        <source>years ahead, 1 to 50 (default 10)</source>
        <translation>今后的年数,1 到 50(缺省 10)</translation>
    </message>
    <message>
        <source>the festivals and solar terms too, in a calendar beside it</source>
        <translation>也写出节日和节气,放在旁边的另一个日历中</translation>
    </message>
    <message>
        <source>Lists what address-book syncs overruled, newest first: a field changed here and on the
server, the value kept and the one overruled, with the time the sync decided it.</source>
        <translation>列出通讯录同步中被覆盖的内容,最新的在前:在本机和服务器上都修改过的字段、
保留的值和被覆盖的值,以及同步作出裁决的时间。</translation>
    </message>
    <message>
        <source>Writes every birthday to FILE as the program&apos;s export does: tab-separated, GBK,
CR LF, grouped by category; or, with --format csv, a spreadsheet file in UTF-8 with
a header row. An existing FILE is replaced only once the new one is complete; the
database itself, any other database and files that are no regular files are refused.</source>
        <translation>像程序的导出那样把所有生日写入 FILE:制表符分割、GBK 编码、CR LF 换行、按类别分组;
或用 --format csv 写成带标题行的 UTF-8 电子表格文件。已有的 FILE 在新文件完整写好后
才被替换;数据库本身、其他数据库和不是普通文件的目标一律拒绝。</translation>
    </message>
    <message>
        <source>tab (default) or csv</source>
        <translation>tab(缺省)或 csv</translation>
    </message>
    <message>
        <source>the text file to write</source>
        <translation>要写入的文本文件</translation>
    </message>
    <message>
        <source>Reads FILE in the given layout, prints how many records it holds and how many are
new, and adds the new ones in one transaction. Records whose category already holds
their name are skipped. Rows of another program&apos;s sheet (Outlook&apos;s contacts, a list
of 姓名 and 生日) and cards without a birthday are listed and left out; a sheet of
our own keeps its birthdays saved without a date. --dry-run lists the records
instead of adding them.</source>
        <translation>按给定的格式读取 FILE,显示其中的记录数和新记录数,并在一个事务中增加新记录。
类别中已有同名生日的记录跳过。其他程序的表格(Outlook 联系人、姓名和生日的名单)中没有生日的行
和没有生日的名片列出后不导入;本程序自己的表格中没有日期的生日照常导入。
--dry-run 只列出这些记录而不增加。</translation>
    </message>
    <message>
        <source>tab (this version), v31, v30, v20, v10 (birth.txt), csv or vcf (phone contacts);
without it, told by the extension and the first line</source>
        <translation>tab(本版本)、v31、v30、v20、v10(birth.txt)、csv 或 vcf(手机通讯录);
缺省时按扩展名和第一行判断</translation>
    </message>
    <message>
        <source>auto (default), gbk, utf-8 or utf-16</source>
        <translation>auto(缺省)、gbk、utf-8 或 utf-16</translation>
    </message>
    <message>
        <source>vcf: the category of cards that name none (default 朋友)</source>
        <translation>vcf: 未写类别的名片的类别(缺省 朋友)</translation>
    </message>
    <message>
        <source>list what would be added; add nothing</source>
        <translation>列出将要增加的记录,不增加</translation>
    </message>
    <message>
        <source>the text file to read</source>
        <translation>要读取的文本文件</translation>
    </message>
    <message>
        <source>Sends the day&apos;s birthday reminder to your own mailbox and phone, each once: at the
first run of the day (and the day before&apos;s, when it was missed), and on Mondays the
digest of the week when the settings ask for it. Without --smtp and --sms-to the
channels of the settings page 外出提醒 are used.

Exit codes: 0 sent, or nothing (more) to send; 1 refused (password, address, TLS);
2 bad arguments; 3 the server could not be reached or its answer was lost (a mail
whose answer was lost is not sent again).</source>
        <translation>把当天的生日提醒发到您自己的邮箱和手机, 每个渠道只发一次: 当天第一次运行时发送(前一天错过的
也在此时补发), 设置要求时每周一另发本周摘要. 不给 --smtp 和 --sms-to 时使用设置页"外出提醒"的渠道.

退出码: 0 已发送, 或没有(更多)要发送的; 1 被拒绝(密码, 地址, TLS); 2 参数错误;
3 无法连接服务器或回复丢失(回复丢失的邮件不会重发).</translation>
    </message>
    <message>
        <source>the mail server, smtps://host[:port] or smtp://host[:port] (STARTTLS)</source>
        <translation>邮件服务器, smtps://主机[:端口] 或 smtp://主机[:端口] (STARTTLS)</translation>
    </message>
    <message>
        <source>the mail server&apos;s user name</source>
        <translation>邮件服务器的用户名</translation>
    </message>
    <message>
        <source>your own mail address</source>
        <translation>您自己的邮箱地址</translation>
    </message>
    <message>
        <source>your own mobile number, sent to through the stored gateway account</source>
        <translation>您自己的手机号, 通过已保存的短信账号发送</translation>
    </message>
    <message>
        <source>trust only this CA file for the mail server</source>
        <translation>邮件服务器只信任此CA证书文件</translation>
    </message>
    <message>
        <source>send the day&apos;s reminder to your own mailbox and phone, once</source>
        <translation>把当天的提醒发到自己的邮箱和手机, 只发一次</translation>
    </message>
    <message>
        <source>类型: 生日 (default), 纪念日 or 忌日</source>
        <translation>类型: 生日(缺省)、纪念日 或 忌日</translation>
    </message>
    <message>
        <source>闰月生日在无闰月之年: 平月 (default) or 跳过</source>
        <translation>闰月生日在无闰月之年: 平月(缺省)或 跳过</translation>
    </message>
    <message>
        <source>Prints the next days the entry --name of category --type falls on, as its rule places
them, one tab-separated line a day: date, weekday, lunar date, 周岁, 虚岁 (the ages are
empty for an entry without a year).</source>
        <translation>按提醒规则列出类别 --type 中名为 --name 的条目接下来的日子,每天一行,以制表符分隔:
日期、星期、农历日期、周岁、虚岁(没有年份的条目不显示年龄)。</translation>
    </message>
    <message>
        <source>first day (default: today)</source>
        <translation>第一天(缺省为今天)</translation>
    </message>
    <message>
        <source>how many days (default 10)</source>
        <translation>列出几天(缺省 10)</translation>
    </message>
    <message>
        <source>the next days an entry falls on</source>
        <translation>一个条目接下来的日子</translation>
    </message>
</context>
</TS>
