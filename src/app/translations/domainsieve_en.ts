<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>Product</name>
    <message>
        <source>米筛 · 域名批量查询</source>
        <translation>DomainSieve · Bulk Domain Lookup</translation>
    </message>
</context>
<context>
    <name>ResultWords</name>
    <message>
        <source>可注册</source>
        <translation>free</translation>
    </message>
    <message>
        <source>已被注册</source>
        <translation>taken</translation>
    </message>
    <message>
        <source>查询失败</source>
        <translation>lookup failed</translation>
    </message>
</context>
<context>
    <name>RunCaptions</name>
    <message>
        <source>开始查询</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>暂 停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>继 续</source>
        <translation>Continue</translation>
    </message>
</context>
<context>
    <name>XTimerSupport</name>
    <message>
        <source>没有可用的计时器</source>
        <translation>No timer available</translation>
    </message>
    <message>
        <source>溢出</source>
        <translation>Overflow</translation>
    </message>
</context>
<context>
    <name>ds::Form1</name>
    <message>
        <source>问题处理</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>输入查询域名：</source>
        <translation>Domain list:</translation>
    </message>
    <message>
        <source>共有：</source>
        <translation>Total:</translation>
    </message>
    <message>
        <source>完成：</source>
        <translation>Done:</translation>
    </message>
    <message>
        <source>不能注册：</source>
        <translation>Taken:</translation>
    </message>
    <message>
        <source>可注册：</source>
        <translation>Free:</translation>
    </message>
    <message>
        <source>停  止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>复制结果</source>
        <translation>Copy free</translation>
    </message>
    <message>
        <source>配套工具</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>请先输入域名！</source>
        <translation>Please enter domain names first!</translation>
    </message>
    <message>
        <source>还没有设置查询服务的地址，查询无法开始。
请用选项 --registrar http://主机[:端口] 启动程序，或在设置文件的 [registrar] 一节写入 address=http://主机[:端口]。</source>
        <translation>No address of the availability service has been set, so the lookup cannot start.
Start the program with the option --registrar http://host[:port], or write address=http://host[:port] in the [registrar] section of the settings file.</translation>
    </message>
    <message>
        <source>无法访问剪贴板，域名没有复制。请稍后再试。</source>
        <translation>The clipboard could not be reached; nothing was copied. Please try again later.</translation>
    </message>
    <message>
        <source>全部域名复制成功，您可以粘贴到任意处！</source>
        <translation>All free domains were copied; you can paste them anywhere!</translation>
    </message>
    <message>
        <source>如果打开不正常，请手动输入：</source>
        <translation>If the page does not open, enter this address by hand: </translation>
    </message>
    <message>
        <source>真的退出吗?</source>
        <translation>Really quit?</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>查询进行中，列表不能修改；查询结束或停止后即可编辑。</source>
        <translation>A lookup is running: the list cannot be changed until it ends or is stopped.</translation>
    </message>
</context>
<context>
    <name>ds::QueryEngine</name>
    <message>
        <source>第%1路查询未能启动，它负责的%2个域名已记为“查询失败”，请稍后重新查询。</source>
        <translation>Worker %1 could not start; its %2 domains are marked “lookup failed”. Please check them again later.</translation>
    </message>
</context>
</TS>
