<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>FormRunBoard</name>
    <message>
        <source>%1
经过这个代理的名字都列为“查询失败”，请检查代理是否在运行，或在“设置”中更换。</source>
        <translation>%1
Names asked through this proxy are listed as “lookup failed”; check that the proxy is running, or change it under “Settings”.</translation>
    </message>
    <message>
        <source>另一个米筛窗口的查询正在使用日志。这次查询不写日志，程序意外退出时结果不会保留；查询照常进行。</source>
        <translation>Another DomainSieve window’s run is using the journal. This run keeps no journal, so its results would not survive a crash; the run goes on.</translation>
    </message>
    <message>
        <source>查询日志无法写入（%1）。程序意外退出时结果不会保留；查询照常进行。</source>
        <translation>The run journal cannot be written (%1). The results would not survive a crash; the run goes on.</translation>
    </message>
</context>
<context>
    <name>Keyring</name>
    <message>
        <source>系统密钥环没有应答（%1）</source>
        <translation>The system keyring does not answer (%1)</translation>
    </message>
    <message>
        <source>这个系统上没有可用的密钥环</source>
        <translation>No keyring is available on this system</translation>
    </message>
</context>
<context>
    <name>NameCount</name>
    <message>
        <source>要生成的域名远超上限 %1 个，请缩小模式</source>
        <translation>Far more names than the limit of %1; narrow the pattern</translation>
    </message>
    <message>
        <source>将生成 %1 个域名，超过上限 %2 个，请缩小模式</source>
        <translation>%1 names would be made, over the limit of %2; narrow the pattern</translation>
    </message>
    <message>
        <source>将生成至多 %1 个域名（排除的形状另减）</source>
        <translation>At most %1 names will be made (fewer once the excluded shapes are left out)</translation>
    </message>
    <message>
        <source>将生成 %1 个域名</source>
        <translation>%1 names will be made</translation>
    </message>
</context>
<context>
    <name>NameGenerator</name>
    <message>
        <source>%1“%2”：%3</source>
        <translation>%1 “%2”: %3</translation>
    </message>
    <message>
        <source>前缀</source>
        <translation>Prefix</translation>
    </message>
    <message>
        <source>后缀词</source>
        <translation>Suffix</translation>
    </message>
    <message>
        <source>排除这些形状之后，一个名字也不剩</source>
        <translation>No name is left once these shapes are left out</translation>
    </message>
    <message>
        <source>名字没有后缀：在模式末尾写上 .com，或在后缀里列出</source>
        <translation>The names have no TLD: end the pattern with .com, or list TLDs</translation>
    </message>
    <message>
        <source>生成的名字“%1”不能作为域名（%2）</source>
        <translation>The name “%1” made by the pattern is no domain name (%2)</translation>
    </message>
</context>
<context>
    <name>Pattern</name>
    <message>
        <source>第 %1 个字符：%2</source>
        <translation>Character %1: %2</translation>
    </message>
    <message>
        <source>多余的“%1”，前面没有与它配对的括号</source>
        <translation>A stray “%1” without its opening bracket</translation>
    </message>
    <message>
        <source>模式里不能有空白</source>
        <translation>A pattern cannot hold white space</translation>
    </message>
    <message>
        <source>“%1”不能出现在域名里</source>
        <translation>“%1” cannot stand in a domain name</translation>
    </message>
    <message>
        <source>没有“%1”这个字符类（可用 N L X C V P）</source>
        <translation>There is no class “%1” (known: N L X C V P)</translation>
    </message>
    <message>
        <source>“[”没有配对的“]”</source>
        <translation>“[” has no matching “]”</translation>
    </message>
    <message>
        <source>集合里不能有“%1”</source>
        <translation>A set cannot hold “%1”</translation>
    </message>
    <message>
        <source>“%1-%2”不是一个范围（从小到大，同为字母或同为数字）</source>
        <translation>“%1-%2” is no range (low to high, letters or digits alike)</translation>
    </message>
    <message>
        <source>“{”没有配对的“}”</source>
        <translation>“{” has no matching “}”</translation>
    </message>
    <message>
        <source>花括号不能套在花括号里</source>
        <translation>Braces cannot stand inside braces</translation>
    </message>
    <message>
        <source>“{}”里没有可选的词</source>
        <translation>“{}” holds no words to choose from</translation>
    </message>
    <message>
        <source>形状要写明字符类，例如 {%1:N}</source>
        <translation>A shape needs its class, e.g. {%1:N}</translation>
    </message>
    <message>
        <source>形状只能由大写字母写成，例如 {AABB:N}</source>
        <translation>A shape is written in capitals, e.g. {AABB:N}</translation>
    </message>
    <message>
        <source>冒号后面应是一个字符类或集合，例如 N 或 [a-f]</source>
        <translation>A class or a set should follow the colon, e.g. N or [a-f]</translation>
    </message>
    <message>
        <source>形状 %1 要 %2 个不同的字符，可选的只有 %3 个</source>
        <translation>The shape %1 needs %2 different characters; there are only %3 to choose from</translation>
    </message>
    <message>
        <source>引号没有配对</source>
        <translation>The quote is not closed</translation>
    </message>
    <message>
        <source>这里没有可选的字符</source>
        <translation>Nothing to choose from here</translation>
    </message>
    <message>
        <source>排除“%1”之后，这里没有可选的字符</source>
        <translation>Nothing to choose from here once “%1” is left out</translation>
    </message>
    <message>
        <source>“%1”不符合国际化域名的规则（%2）</source>
        <translation>“%1” breaks the rules of internationalised domain names (%2)</translation>
    </message>
    <message>
        <source>模式是空的</source>
        <translation>The pattern is empty</translation>
    </message>
    <message>
        <source>排除项“%1”里的“%2”不会出现在域名里</source>
        <translation>“%2” in the exclusion “%1” never stands in a domain name</translation>
    </message>
</context>
<context>
    <name>Product</name>
    <message>
        <source>米筛 · 域名批量查询</source>
        <translation>DomainSieve · Bulk Domain Lookup</translation>
    </message>
</context>
<context>
    <name>ProxyFailure</name>
    <message>
        <source>（系统设置）</source>
        <translation>(system setting)</translation>
    </message>
    <message>
        <source>连接被拒绝，代理可能没有运行</source>
        <translation>connection refused, the proxy may not be running</translation>
    </message>
    <message>
        <source>找不到代理主机</source>
        <translation>proxy host not found</translation>
    </message>
    <message>
        <source>代理没有按时应答</source>
        <translation>the proxy did not answer in time</translation>
    </message>
    <message>
        <source>代理中途断开了连接</source>
        <translation>the proxy closed the connection</translation>
    </message>
    <message>
        <source>代理不接受所设的用户名或密码</source>
        <translation>the proxy does not accept the user name or password set</translation>
    </message>
    <message>
        <source>代理要求用户名和密码，但没有设置</source>
        <translation>the proxy asks for a user name and password, and none is set</translation>
    </message>
    <message>
        <source>代理拒绝转发，或它不是所设类型的代理</source>
        <translation>the proxy refused to forward, or is not a proxy of the type set</translation>
    </message>
    <message>
        <source>代理 %1 无法连接：%2</source>
        <translation>Proxy %1 cannot be reached: %2</translation>
    </message>
</context>
<context>
    <name>RecordLines</name>
    <message>
        <source>可注册</source>
        <translation>free</translation>
    </message>
    <message>
        <source>已被注册</source>
        <translation>taken</translation>
    </message>
    <message>
        <source>赎回期</source>
        <translation>in redemption</translation>
    </message>
    <message>
        <source>待删除</source>
        <translation>pending delete</translation>
    </message>
    <message>
        <source>查询失败</source>
        <translation>lookup failed</translation>
    </message>
    <message>
        <source>格式错误</source>
        <translation>not a domain name</translation>
    </message>
    <message>
        <source>不支持的后缀</source>
        <translation>unsupported TLD</translation>
    </message>
    <message>
        <source>已保留</source>
        <translation>reserved</translation>
    </message>
    <message>
        <source>注册商接口</source>
        <translation>registrar service</translation>
    </message>
    <message>
        <source>DNS</source>
        <translation>DNS</translation>
    </message>
    <message>
        <source>注册局（RDAP）</source>
        <translation>registry (RDAP)</translation>
    </message>
    <message>
        <source>WHOIS</source>
        <translation>WHOIS</translation>
    </message>
</context>
<context>
    <name>ResultFacts</name>
    <message>
        <source>查询方式：%1</source>
        <translation>Lookup: %1</translation>
    </message>
    <message>
        <source>服务器：%1</source>
        <translation>Server: %1</translation>
    </message>
    <message>
        <source>HTTP 状态：%1</source>
        <translation>HTTP status: %1</translation>
    </message>
    <message>
        <source>域名服务器：%1</source>
        <translation>Name servers: %1</translation>
    </message>
    <message>
        <source>说明：%1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <source>注册商：%1（IANA %2）</source>
        <translation>Registrar: %1 (IANA %2)</translation>
    </message>
    <message>
        <source>注册商：%1</source>
        <translation>Registrar: %1</translation>
    </message>
    <message>
        <source>注册日期：%1</source>
        <translation>Registered: %1</translation>
    </message>
    <message>
        <source>到期日期：%1</source>
        <translation>Expires: %1</translation>
    </message>
    <message>
        <source>状态：%1</source>
        <translation>Status: %1</translation>
    </message>
    <message>
        <source>预计释放：%1</source>
        <translation>Expected to be free: %1</translation>
    </message>
    <message>
        <source>速率：%1 次/秒</source>
        <translation>Rate: %1 requests/s</translation>
    </message>
</context>
<context>
    <name>ResultsFile</name>
    <message>
        <source>导出失败：%1
%2</source>
        <translation>Export failed: %1
%2</translation>
    </message>
    <message>
        <source>结果已导出到：%1</source>
        <translation>Results exported to: %1</translation>
    </message>
    <message>
        <source>
（%1 行不是查询结果，没有导出。）</source>
        <translation>
(%1 lines were not lookup results and were left out.)</translation>
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
    <name>RunJournal</name>
    <message>
        <source>：无法在此创建文件</source>
        <translation>: no file can be created here</translation>
    </message>
</context>
<context>
    <name>RunRestore</name>
    <message>
        <source>域名列表不完整，只恢复能读出的 %1 行</source>
        <translation>the domain list is incomplete; only the %1 readable lines are restored</translation>
    </message>
    <message>
        <source>%1 行结果无法读出，这些域名将重新查询</source>
        <translation>%1 result lines could not be read; those domains will be checked again</translation>
    </message>
    <message>
        <source>
（日志有损坏：%1。）</source>
        <translation>
(The journal is damaged: %1.)</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>上次查询的日志已损坏，无法恢复，已另存为备份。</source>
        <translation>The journal of the last run is damaged and cannot be restored; it was kept as a backup.</translation>
    </message>
    <message>
        <source>上次查询未完成（已完成 %1 / 共 %2），是否恢复结果并继续？</source>
        <translation>The last run did not finish (%1 of %2 done). Restore its results and continue?</translation>
    </message>
    <message>
        <source>无法移开上次查询的日志：%1</source>
        <translation>The journal of the last run could not be moved aside: %1</translation>
    </message>
</context>
<context>
    <name>ServiceQueue</name>
    <message>
        <source>服务器限流，%1 后可再查</source>
        <translation>Rate-limited by the server; ask again after %1</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>没有可用的系统密钥环</source>
        <translation>No system keyring is available</translation>
    </message>
</context>
<context>
    <name>SettingsForm</name>
    <message>
        <source>同时查询</source>
        <translation>Workers</translation>
    </message>
    <message>
        <source>个</source>
        <translation>names at once</translation>
    </message>
    <message>
        <source>每步间隔</source>
        <translation>Rest between steps</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>RDAP 同一服务器间隔</source>
        <translation>RDAP, per server</translation>
    </message>
    <message>
        <source>WHOIS 同一服务器间隔</source>
        <translation>WHOIS, per server</translation>
    </message>
    <message>
        <source>请求时限</source>
        <translation>Request time limit</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>请输入 %1 到 %2 之间的整数</source>
        <translation>A whole number from %1 to %2</translation>
    </message>
    <message>
        <source>请填写查询服务的地址</source>
        <translation>Enter the service&apos;s address</translation>
    </message>
    <message>
        <source>地址应为 http://主机[:端口]</source>
        <translation>Should be http://host[:port]</translation>
    </message>
    <message>
        <source>请填写代理服务器</source>
        <translation>Enter the proxy&apos;s host</translation>
    </message>
    <message>
        <source>应为主机名或 IP 地址</source>
        <translation>Should be a host name or IP address</translation>
    </message>
    <message>
        <source>请输入 1 到 65535 之间的端口</source>
        <translation>A port from 1 to 65535</translation>
    </message>
    <message>
        <source>有密码时请填写用户名</source>
        <translation>A password needs a user name</translation>
    </message>
    <message>
        <source>%1（%2–%3）</source>
        <translation>%1 (%2–%3)</translation>
    </message>
    <message>
        <source>DNS 同时查询</source>
        <translation>DNS lookups</translation>
    </message>
    <message>
        <source>应为 IP 地址[:端口]，或留空</source>
        <translation>Should be an IP address[:port], or empty</translation>
    </message>
    <message>
        <source>同时请求</source>
        <translation>Requests at once</translation>
    </message>
    <message>
        <source>限流最长等待</source>
        <translation>Longest wait when rate-limited</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Row %1: %2</translation>
    </message>
    <message>
        <source>请填写服务器</source>
        <translation>Enter the server</translation>
    </message>
    <message>
        <source>端口应在 1 到 65535 之间</source>
        <translation>The port must be 1–65535</translation>
    </message>
    <message>
        <source>每秒请求数应大于 0、不超过 %1</source>
        <translation>Requests per second must be above 0 and at most %1</translation>
    </message>
    <message>
        <source>同时请求数应为 1 到 %1 之间的整数</source>
        <translation>Requests in flight must be a whole number from 1 to %1</translation>
    </message>
    <message>
        <source>服务器应为主机名或 IP 地址[:端口]</source>
        <translation>The server must be a host name or IP address[:port]</translation>
    </message>
    <message>
        <source>服务地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>http://主机[:端口]</source>
        <translation>http://host[:port]</translation>
    </message>
    <message>
        <source>先查 DNS：有域名服务器记录的直接判为已注册</source>
        <translation>Ask the DNS first: a name with name servers is taken</translation>
    </message>
    <message>
        <source>DNS 服务器</source>
        <translation>DNS server</translation>
    </message>
    <message>
        <source>IP 地址[:端口]</source>
        <translation>IP address[:port]</translation>
    </message>
    <message>
        <source>查注册详情：每个域名都问注册局（注册商、日期、状态）</source>
        <translation>Registration details: ask the registry about every name (registrar, dates, status)</translation>
    </message>
    <message>
        <source>服务器</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>1–65535</source>
        <translation>1–65535</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User</translation>
    </message>
    <message>
        <source>可不填</source>
        <translation>optional</translation>
    </message>
    <message>
        <source>记住密码</source>
        <translation>Remember password</translation>
    </message>
</context>
<context>
    <name>TldSets</name>
    <message>
        <source>没有“%1”这个后缀集合（可用 %2）</source>
        <translation>There is no TLD set “%1” (known: %2)</translation>
    </message>
    <message>
        <source>后缀“%1”不能用（%2）</source>
        <translation>The TLD “%1” cannot be used (%2)</translation>
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
    <name>ds::AlternatingWorkers</name>
    <message>
        <source>第%1路查询未能启动，它负责的%2个域名已记为“查询失败”，请稍后重新查询。</source>
        <translation>Worker %1 could not start; its %2 domains are marked “lookup failed”. Please check them again later.</translation>
    </message>
</context>
<context>
    <name>ds::FailedRetry</name>
    <message>
        <source>重新查询上次结果中“查询失败”的 %1 个域名，其余结果不变。</source>
        <translation>Ask again about the %1 names listed as “lookup failed”; the other results stay as they are.</translation>
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
    <message>
        <source>导出结果</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>文本 (*.txt);;CSV (*.csv);;JSON Lines (*.jsonl)</source>
        <translation>Text (*.txt);;CSV (*.csv);;JSON Lines (*.jsonl)</translation>
    </message>
    <message>
        <source>查询方式：注册局（RDAP）</source>
        <translation>Lookup: registries (RDAP)</translation>
    </message>
    <message>
        <source>查询方式：注册局（RDAP），含注册详情</source>
        <translation>Lookup: registries (RDAP), with registration details</translation>
    </message>
    <message>
        <source>查询方式：注册商接口 %1</source>
        <translation>Lookup: registrar service %1</translation>
    </message>
    <message>
        <source>连不上注册局的查询服务器，请检查网络连接。
查不到的名字都列为“查询失败”。</source>
        <translation>The registries&apos; lookup servers cannot be reached; please check the network connection.
Names that get no answer are listed as “lookup failed”.</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>连不上注册局的查询服务器，请检查代理 %1 和网络连接。
查不到的名字都列为“查询失败”。</source>
        <translation>The registries&apos; lookup servers cannot be reached; please check the proxy %1 and the network connection.
Names that get no answer are listed as “lookup failed”.</translation>
    </message>
    <message>
        <source>DNS 服务器没有应答，本次查询改为直接询问注册局。
可在“设置”中换一个 DNS 服务器。</source>
        <translation>The DNS server does not answer: this run asks the registries straight away.
You can name another DNS server under “Settings”.</translation>
    </message>
    <message>
        <source>查询方式：先查 DNS，再问注册局（RDAP）</source>
        <translation>Lookup: the DNS first, then the registries (RDAP)</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>查询进行中，列表不能修改；查询结束或停止后再生成。</source>
        <translation>A lookup is running: the list cannot be changed. Generate once it ends or is stopped.</translation>
    </message>
    <message>
        <source>重查失败</source>
        <translation>Retry failures</translation>
    </message>
</context>
<context>
    <name>ds::GeneratorDialog</name>
    <message>
        <source>生成域名列表</source>
        <translation>Generate a domain list</translation>
    </message>
    <message>
        <source>N 数字&#x3000;L 字母&#x3000;X 字母或数字&#x3000;C 声母&#x3000;V 韵母&#x3000;P 拼音音节
[a-f] 集合&#x3000;{ab,cd} 任选其一&#x3000;{AABB:N} 形状&#x3000;&quot;abc&quot; 原样</source>
        <translation>N digit  L letter  X letter or digit  C pinyin initial  V pinyin final  P pinyin syllable
[a-f] set  {ab,cd} one of  {AABB:N} shape  &quot;abc&quot; as written</translation>
    </message>
    <message>
        <source>例如 {AABB:N} 或 PP</source>
        <translation>e.g. {AABB:N} or PP</translation>
    </message>
    <message>
        <source>.com,.net,.cn；或 @gtld、@cctld、@all</source>
        <translation>.com,.net,.cn; or @gtld, @cctld, @all</translation>
    </message>
    <message>
        <source>不要的字符或形状，例如 4,AAA</source>
        <translation>Characters or shapes to leave out, e.g. 4,AAA</translation>
    </message>
    <message>
        <source>放在前面的词，用逗号隔开</source>
        <translation>Words put in front, separated by commas</translation>
    </message>
    <message>
        <source>放在后面的词，用逗号隔开</source>
        <translation>Words put after, separated by commas</translation>
    </message>
    <message>
        <source>模式：</source>
        <translation>Pattern:</translation>
    </message>
    <message>
        <source>后缀：</source>
        <translation>TLDs:</translation>
    </message>
    <message>
        <source>排除：</source>
        <translation>Leave out:</translation>
    </message>
    <message>
        <source>前缀词：</source>
        <translation>Prefixes:</translation>
    </message>
    <message>
        <source>后缀词：</source>
        <translation>Suffixes:</translation>
    </message>
    <message>
        <source>替换列表</source>
        <translation>Replace the list</translation>
    </message>
    <message>
        <source>追加到列表末尾</source>
        <translation>Append to the list</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请输入模式</source>
        <translation>Enter a pattern</translation>
    </message>
</context>
<context>
    <name>ds::HoldNotice</name>
    <message>
        <source>%1 个服务器限流中，最早 %2 恢复</source>
        <translation>%1 servers rate-limiting us, the first free again at %2</translation>
    </message>
</context>
<context>
    <name>ds::LineBox</name>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>ds::ListFiller</name>
    <message>
        <source>正在生成域名……</source>
        <translation>Generating domain names…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
</context>
<context>
    <name>ds::QueryEngine</name>
    <message>
        <source>无法读取注册局（RDAP）服务器列表：%1</source>
        <translation>Cannot read the list of registry (RDAP) servers: %1</translation>
    </message>
</context>
<context>
    <name>ds::ServerPaceEditor</name>
    <message>
        <source>单个服务器的速率上限</source>
        <translation>Pace ceilings of particular servers</translation>
    </message>
    <message>
        <source>服务器[:端口]</source>
        <translation>Server[:port]</translation>
    </message>
    <message>
        <source>每秒请求数</source>
        <translation>Requests/s</translation>
    </message>
    <message>
        <source>同时请求数</source>
        <translation>In flight</translation>
    </message>
    <message>
        <source>问题</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>列出的服务器最多以这里的速率查询，被拒绝时自动减速；其余服务器用内置速率表或上面的间隔。</source>
        <translation>Listed servers are asked at most this fast, and slower when they refuse; other servers keep the built-in pace table or the intervals above.</translation>
    </message>
</context>
<context>
    <name>ds::SettingsDialog</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>查询正在进行：这次查询沿用原来的设置，新的设置从下一次查询起生效。</source>
        <translation>A run is under way: it keeps the settings it started with; new settings apply from the next run.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>查询方式</source>
        <translation>Lookup method</translation>
    </message>
    <message>
        <source>公共注册局（RDAP 和 WHOIS）</source>
        <translation>Public registries (RDAP and WHOIS)</translation>
    </message>
    <message>
        <source>注册商查询服务</source>
        <translation>Registrar service</translation>
    </message>
    <message>
        <source>节奏</source>
        <translation>Pacing</translation>
    </message>
    <message>
        <source>代理</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>不使用代理</source>
        <translation>None</translation>
    </message>
    <message>
        <source>系统代理</source>
        <translation>System</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>RDAP、注册商查询服务和引导文件的下载都经过代理。WHOIS 只经过 SOCKS5 代理；代理为 HTTP 时，WHOIS 直接连接。</source>
        <translation>RDAP, the registrar service and the bootstrap download go through the proxy. WHOIS goes through a SOCKS5 proxy only; with an HTTP proxy WHOIS connects directly.</translation>
    </message>
    <message>
        <source>这次启动用了命令行选项 %1，它们优先于这里的设置；这里保存的值在不带这些选项启动时生效。</source>
        <translation>This start uses the command-line options %1, which win over these settings; what is saved here applies when the program starts without them.</translation>
    </message>
    <message>
        <source>勾选后不再先查 DNS，每个域名都要等注册局回答，较慢。</source>
        <translation>With this ticked the DNS is not asked first: every name waits for its registry, which is slower.</translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation>System default</translation>
    </message>
    <message>
        <source>DNS 查询直接发往 DNS 服务器，不经过代理。</source>
        <translation>DNS queries go straight to the DNS server, never through the proxy.</translation>
    </message>
    <message>
        <source>%1：记住的密码只保留到程序退出。</source>
        <translation>%1: a remembered password is kept only until the program ends.</translation>
    </message>
</context>
<context>
    <name>ds::WhoisClient</name>
    <message>
        <source>超过请求时限 %1 秒</source>
        <translation>No reply within the request time limit of %1 s</translation>
    </message>
    <message>
        <source>回复超过 %1 KiB，不予采信</source>
        <translation>The reply is longer than %1 KiB and is not trusted</translation>
    </message>
    <message>
        <source>连接失败：%1</source>
        <translation>Connection failed: %1</translation>
    </message>
</context>
<context>
    <name>ds::WhoisPatterns</name>
    <message>
        <source>无法判断：回复为空或过短</source>
        <translation>Cannot tell: the reply is empty or too short</translation>
    </message>
    <message>
        <source>服务器拒绝本机的查询：%1</source>
        <translation>The server refuses queries from this computer: %1</translation>
    </message>
    <message>
        <source>服务器限流：%1</source>
        <translation>The server is limiting queries: %1</translation>
    </message>
    <message>
        <source>无法判断：回复说的是 %1，不是 %2</source>
        <translation>Cannot tell: the reply is about %1, not %2</translation>
    </message>
    <message>
        <source>无法判断：服务器不接受这个查询：%1</source>
        <translation>Cannot tell: the server does not accept this query: %1</translation>
    </message>
    <message>
        <source>无法判断：回复既有「%1」又有「%2」</source>
        <translation>Cannot tell: the reply says both “%1” and “%2”</translation>
    </message>
    <message>
        <source>无法判断：回复不符合任何已知的 WHOIS 样式</source>
        <translation>Cannot tell: the reply matches no known WHOIS layout</translation>
    </message>
    <message>
        <source>无法判断：回复不符合 %1 的任何已知样式</source>
        <translation>Cannot tell: the reply matches none of the known layouts of %1</translation>
    </message>
    <message>
        <source>%1 不提供 port-43 WHOIS，只有网页查询</source>
        <translation>%1 offers no port-43 WHOIS, only a web page</translation>
    </message>
    <message>
        <source>%1 的 port-43 WHOIS 只对登记过的 IP 地址开放</source>
        <translation>The port-43 WHOIS of %1 answers only IP addresses registered with it</translation>
    </message>
    <message>
        <source>%1 不为 .%2 本身提供 port-43 WHOIS，其下的二级域（如 co.%2）各有自己的服务器</source>
        <translation>%1 offers no port-43 WHOIS for .%2 itself; the zones below it (such as co.%2) have their own servers</translation>
    </message>
    <message>
        <source>%1 不提供 port-43 WHOIS</source>
        <translation>%1 offers no port-43 WHOIS</translation>
    </message>
</context>
<context>
    <name>ds::WhoisServers</name>
    <message>
        <source>无法从 %1 得知 .%2 的 WHOIS 服务器：%3</source>
        <translation>Cannot learn the WHOIS server of .%2 from %1: %3</translation>
    </message>
    <message>
        <source>回复无法判断</source>
        <translation>its reply could not be read</translation>
    </message>
    <message>
        <source>.%1 没有可用的 WHOIS 服务器</source>
        <translation>.%1 has no WHOIS server that can be asked</translation>
    </message>
</context>
</TS>
