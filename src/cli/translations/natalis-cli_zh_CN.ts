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
        <translation>'natalis-cli 命令 --help' 说明一个命令。</translation>
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
</context>
</TS>
