<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CommandLine</name>
    <message>
        <source>显示本用法</source>
        <translation>Show this help</translation>
    </message>
    <message>
        <source>列出候选端口：COM 号、设备路径、为何算作转换器、能否打开</source>
        <translation>List the candidate ports: COM number, device path, why it counts as a converter, whether it opens</translation>
    </message>
    <message>
        <source>与 --list 一起：向能打开的端口发握手，报告熔接机及其固件版本</source>
        <translation>With --list: send a handshake to each port that opens, report the splicer and its firmware version</translation>
    </message>
    <message>
        <source>读出熔接机的参数，按 config.ini 的 [Param] 格式输出</source>
        <translation>Read the splicer&apos;s parameters and print them in config.ini&apos;s [Param] format</translation>
    </message>
    <message>
        <source>把 FILE（config.ini 或 --read 的输出）中的参数写入熔接机并读回核对</source>
        <translation>Write the parameters in FILE (config.ini or --read output) to the splicer and read them back to check</translation>
    </message>
    <message>
        <source>用这个端口，不搜索</source>
        <translation>Use this port instead of searching</translation>
    </message>
    <message>
        <source>--read 的结果写到 FILE，而不是标准输出</source>
        <translation>Write the --read result to FILE instead of standard output</translation>
    </message>
    <message>
        <source>--write 之前不再询问</source>
        <translation>Do not ask before --write</translation>
    </message>
    <message>
        <source>把收发的每一帧记录到 FILE</source>
        <translation>Log every frame sent and received to FILE</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
    <message>
        <source>%1 只能给一次</source>
        <translation>%1 can be given only once</translation>
    </message>
    <message>
        <source>%1 的值是空的</source>
        <translation>%1 has an empty value</translation>
    </message>
    <message>
        <source>--probe 只能与 --list 一起用</source>
        <translation>--probe is only for --list</translation>
    </message>
    <message>
        <source>--yes 只用于 --write</source>
        <translation>--yes is only for --write</translation>
    </message>
    <message>
        <source>--port 只接受 COMn 或以 / 开头的设备路径：%1</source>
        <translation>--port takes COMn or a device path starting with /: %1</translation>
    </message>
    <message>
        <source>--out 与 --trace 不能是同一个文件</source>
        <translation>--out and --trace cannot be the same file</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Separates the option names.</extracomment>
        <translation>, </translation>
    </message>
    <message>
        <source>未知选项：%1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>%1 缺少值</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>%1 不带值</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>%1：%2 %3</source>
        <extracomment>The serial port&apos;s error, the device path, and why it did not open.</extracomment>
        <translation>%1: %2 %3</translation>
    </message>
    <message>
        <source>被 %1 中断：%2</source>
        <translation>Stopped by %1: %2</translation>
    </message>
    <message>
        <source>参数块已发给熔接机，没有读回核对；熔接机可能已保存新参数</source>
        <translation>the parameter block was sent but not read back; the splicer may have stored the new parameters</translation>
    </message>
    <message>
        <source>没有向熔接机写入参数</source>
        <translation>no parameters were written to the splicer</translation>
    </message>
    <message>
        <source>Spliceon：熔接机参数的命令行。
退出码：0 完成；1 --diff：熔接机的参数与文件不同，其他时候没有熔接机应答（--wait：等待时间内没有；--list --probe：没有一个端口有熔接机应答）；2 其他错误；3 --write 读回的参数块与写入的不同、熔接机答复的参数块长度是 0，或参数块发出后线路出错（熔接机可能已存下新参数，没有读回核对）；129、130、143 被 SIGHUP、SIGINT、SIGTERM 中断（端口已关闭）。
配置文件：%1</source>
        <translation>Spliceon: the command line for the splicer&apos;s parameters.
Exit codes: 0 done; 1 --diff: the splicer&apos;s parameters differ from the file&apos;s, otherwise no splicer answered (--wait: none within the time; --list --probe: no port had a splicer answer); 2 any other error; 3 --write: the block read back differs from the one written, the splicer answered a block length of 0, or the line failed after the block went out (the splicer may hold the new set, not verified); 129, 130, 143 stopped by SIGHUP, SIGINT, SIGTERM (port closed).
Settings file: %1</translation>
    </message>
    <message>
        <source>标准错误上只写错误（与非 0 退出码相伴的文字），不写提示</source>
        <translation>Write only errors to standard error (the texts that come with a non-zero exit code), no notes</translation>
    </message>
    <message>
        <source>--trace 的格式：text（默认，每帧一行文字）或 pcapng（抓包文件，Wireshark、tshark 可读）</source>
        <translation>The format of --trace: text (the default, a line per frame) or pcapng (a capture that Wireshark and tshark read)</translation>
    </message>
    <message>
        <source>--trace-format 只能是 text 或 pcapng：%1</source>
        <translation>--trace-format takes text or pcapng: %1</translation>
    </message>
    <message>
        <source>--wait 的值须是 1 到 %1 之间的整数（秒）：%2</source>
        <translation>--wait needs a whole number of seconds from 1 to %1: %2</translation>
    </message>
    <message>
        <source>--wait 不能与 --port 一起用：给了端口就不搜索</source>
        <translation>--wait does not go with --port: a given port is not searched for</translation>
    </message>
    <message>
        <source>--trace-format 只用于 --trace</source>
        <translation>--trace-format is only for --trace</translation>
    </message>
    <message>
        <source>没有熔接机应答：等它接入，最多 %1 秒……</source>
        <translation>No splicer answered: waiting up to %1 seconds for one to be plugged in…</translation>
    </message>
    <message>
        <source>读出熔接机的参数，列出与 FILE 不同的项（按熔接机的固件换算）：退出码 0 相同，1 不同，2 出错</source>
        <translation>Read the splicer&apos;s parameters and list those that differ from FILE (converted to the splicer&apos;s firmware): exit 0 equal, 1 different, 2 error</translation>
    </message>
    <message>
        <source>与 --write 一起：检查、换算并列出改动，但不发送参数块</source>
        <translation>With --write: check, convert and list the changes, but send no block</translation>
    </message>
    <message>
        <source>--list、--read 和 --diff 的结果输出为一个 JSON 文档（英文键，不随语言变化）</source>
        <translation>Print the result of --list, --read and --diff as one JSON document (English keys, whatever the language)</translation>
    </message>
    <message>
        <source>与 --read、--write、--diff 一起、不带 --port：等熔接机接入，最多 SECONDS 秒</source>
        <translation>With --read, --write or --diff and without --port: wait up to SECONDS seconds for a splicer to be plugged in</translation>
    </message>
    <message>
        <source>--dry-run 只用于 --write</source>
        <translation>--dry-run is only for --write</translation>
    </message>
    <message>
        <source>--port 只用于 --read、--write 和 --diff</source>
        <translation>--port is only for --read, --write and --diff</translation>
    </message>
    <message>
        <source>--wait 只用于 --read、--write 和 --diff</source>
        <translation>--wait is only for --read, --write and --diff</translation>
    </message>
    <message>
        <source>列出服务记录：每次连接及其操作；后面给出设备ID 则只列这台熔接机</source>
        <translation>List the service record: every visit and its operations; a device ID after it lists that splicer only</translation>
    </message>
    <message>
        <source>与 --history 一起：只列这一天（yyyy-MM-dd）起的连接</source>
        <translation>With --history: only the visits from this day (yyyy-MM-dd) on</translation>
    </message>
    <message>
        <source>把这台熔接机一次连接的服务报告写到 --out FILE（.pdf 为 PDF，否则 HTML）</source>
        <translation>Write the service report of one visit of this splicer to --out FILE (.pdf: PDF, else HTML)</translation>
    </message>
    <message>
        <source>与 --report 一起：第 N 次连接（--history 的编号），默认最近一次</source>
        <translation>With --report: visit N (as --history numbers them), the latest by default</translation>
    </message>
    <message>
        <source>--since 须是 yyyy-MM-dd 形式的日期：%1</source>
        <translation>--since takes a date as yyyy-MM-dd: %1</translation>
    </message>
    <message>
        <source>--visit 须是从 1 起的整数：%1</source>
        <translation>--visit takes a whole number from 1: %1</translation>
    </message>
    <message>
        <source>--since 只用于 --history</source>
        <translation>--since is for --history only</translation>
    </message>
    <message>
        <source>--visit 只用于 --report</source>
        <translation>--visit is for --report only</translation>
    </message>
    <message>
        <source>--report 须用 --out FILE 指定报告文件</source>
        <translation>--report needs --out FILE for the report</translation>
    </message>
    <message>
        <source>--out 只用于 --read、--history 和 --report</source>
        <translation>--out is for --read, --history and --report only</translation>
    </message>
    <message>
        <source>把本机服务记录中尚未发送的记录发到 config.ini 的 [record] server= 所指的团队服务器，输出发送了几条</source>
        <translation>Send the local service record&apos;s unsent records to the team server named by [record] server= in config.ini and print how many were sent</translation>
    </message>
    <message>
        <source>与 --sync-record 一起：先在团队服务器上建立或更新服务记录的表（需建表权限）</source>
        <translation>With --sync-record: first create or update the service record&apos;s tables on the team server (needs the right to create tables)</translation>
    </message>
    <message>
        <source>--init 只用于 --sync-record</source>
        <translation>--init is only for --sync-record</translation>
    </message>
    <message>
        <source>%1 不能与 --sync-record 一起用</source>
        <translation>%1 cannot be used with --sync-record</translation>
    </message>
    <message>
        <source>config.ini 里没有 [record] server=：没有团队服务器</source>
        <translation>config.ini has no [record] server=: no team server</translation>
    </message>
    <message>
        <source>团队服务器上的服务记录格式：第 %1 版
</source>
        <translation>Service record schema on the team server: version %1
</translation>
    </message>
    <message numerus="yes">
        <source>已发送 %n 条记录
</source>
        <translation>
            <numerusform>%n record sent
</numerusform>
            <numerusform>%n records sent
</numerusform>
        </translation>
    </message>
    <message>
        <source>服务记录：团队服务器上的记录</source>
        <translation>Service record: the team&apos;s records on its server</translation>
    </message>
    <message>
        <source>服务记录：只有本机的记录</source>
        <translation>Service record: this computer&apos;s records only</translation>
    </message>
    <message>
        <source>请给出 --list、--read、--write、--diff、--history、--report 或 --sync-record 中的一个</source>
        <translation>Give one of --list, --read, --write, --diff, --history, --report or --sync-record</translation>
    </message>
    <message>
        <source>--json 只用于 --list、--read、--diff 和 --history</source>
        <translation>--json is only for --list, --read, --diff and --history</translation>
    </message>
</context>
<context>
    <name>Console</name>
    <message>
        <source>无法写入标准输出：%1</source>
        <translation>Cannot write to standard output: %1</translation>
    </message>
    <message>
        <source>%1 不是在终端上运行，无法确认：按“否”处理</source>
        <translation>%1 No terminal to confirm on: taken as no</translation>
    </message>
</context>
<context>
    <name>FrameTrace</name>
    <message>
        <source>版本查询</source>
        <translation>version query</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>version</translation>
    </message>
    <message>
        <source>环境状态查询</source>
        <translation>environment query</translation>
    </message>
    <message>
        <source>环境</source>
        <translation>environment</translation>
    </message>
    <message>
        <source>调芯复位</source>
        <translation>core reset</translation>
    </message>
    <message>
        <source>重置原点</source>
        <translation>reset origin</translation>
    </message>
    <message>
        <source>设备ID查询</source>
        <translation>device ID query</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>device ID</translation>
    </message>
    <message>
        <source>熔接次数查询</source>
        <translation>fusion count query</translation>
    </message>
    <message>
        <source>熔接次数</source>
        <translation>fusion count</translation>
    </message>
    <message>
        <source>当前组别查询</source>
        <translation>current group query</translation>
    </message>
    <message>
        <source>当前组别</source>
        <translation>current group</translation>
    </message>
    <message>
        <source>参数读取</source>
        <translation>parameter read</translation>
    </message>
    <message>
        <source>参数块</source>
        <translation>parameter block</translation>
    </message>
    <message>
        <source>握手</source>
        <translation>handshake</translation>
    </message>
    <message>
        <source>握手应答</source>
        <translation>handshake answer</translation>
    </message>
    <message>
        <source>参数长度查询</source>
        <translation>block length query</translation>
    </message>
    <message>
        <source>参数长度</source>
        <translation>block length</translation>
    </message>
    <message>
        <source>校正参数读取</source>
        <translation>calibration read</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>未知命令 </source>
        <translation>unknown command </translation>
    </message>
    <message>
        <source>保存到出厂设置</source>
        <translation>save as factory set</translation>
    </message>
    <message>
        <source>恢复出厂参数</source>
        <translation>restore factory set</translation>
    </message>
    <message>
        <source>控制记录 </source>
        <translation>control record </translation>
    </message>
    <message>
        <source>放电测试 电流 %1 时长 %2</source>
        <translation>arc test current %1 duration %2</translation>
    </message>
    <message>
        <source>参数写入 %1 字节</source>
        <translation>parameter write %1 bytes</translation>
    </message>
    <message>
        <source>校正参数写入 </source>
        <translation>calibration write </translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1（不接受）</source>
        <translation>%1 (not accepted)</translation>
    </message>
    <message>
        <source>未知应答 </source>
        <translation>unknown answer </translation>
    </message>
    <message>
        <source>（数据不足）</source>
        <translation>(too short)</translation>
    </message>
    <message>
        <source>丢弃 %1 字节 </source>
        <translation>dropped %1 bytes </translation>
    </message>
    <message>
        <source>帧错误 %1</source>
        <translation>%1 framing</translation>
    </message>
    <message>
        <source>奇偶校验错误 %1</source>
        <translation>%1 parity</translation>
    </message>
    <message>
        <source>溢出 %1</source>
        <translation>%1 overrun</translation>
    </message>
    <message>
        <source>中断 %1</source>
        <translation>%1 break</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>线路错误：%1</source>
        <translation>line errors: %1</translation>
    </message>
    <message>
        <source>%1 开</source>
        <translation>%1 on</translation>
    </message>
    <message>
        <source>%1 关</source>
        <translation>%1 off</translation>
    </message>
    <message>
        <source>调制解调器线路：%1</source>
        <translation>modem lines: %1</translation>
    </message>
</context>
<context>
    <name>LinkCommands</name>
    <message>
        <source>熔接机没有应答参数读取</source>
        <translation>The splicer did not answer the parameter read</translation>
    </message>
    <message>
        <source>没有写入：未确认</source>
        <translation>Nothing written: not confirmed</translation>
    </message>
    <message>
        <source>熔接机已断开：没有写入</source>
        <translation>The splicer disconnected: nothing written</translation>
    </message>
    <message>
        <source>熔接机答复的参数块长度是 0：没有写入任何参数</source>
        <translation>The splicer reported a block length of 0: no parameters written</translation>
    </message>
    <message>
        <source>参数块已发出，熔接机可能已存下新参数，但没有读回核对：%1</source>
        <translation>The parameter block was sent and the splicer may have stored it, but it was not read back: %1</translation>
    </message>
    <message>
        <source>读回的 %1 是 %2，写入的是 %3</source>
        <translation>%1 read back as %2, written as %3</translation>
    </message>
    <message>
        <source>注意：%1</source>
        <translation>Note: %1</translation>
    </message>
    <message>
        <source>熔接机的参数与文件相同</source>
        <translation>The splicer&apos;s parameters are the file&apos;s</translation>
    </message>
    <message>
        <source>要写入的改动（熔接机 → 文件）：</source>
        <translation>Changes to write (splicer → file):</translation>
    </message>
    <message>
        <source>只是演习（--dry-run）：没有向熔接机写入参数</source>
        <translation>Dry run (--dry-run): no parameters written to the splicer</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>可以打开</source>
        <translation>opens</translation>
    </message>
    <message>
        <source>无权限：运行 driver/install，或把用户加入 %1 组后重新登录</source>
        <translation>no permission: run driver/install, or add the user to group %1 and log in again</translation>
    </message>
    <message>
        <source>被其他程序占用：先关闭它（fuser -v %1 可查出是谁）</source>
        <translation>in use by another program: close it first (fuser -v %1 shows which)</translation>
    </message>
    <message>
        <source>设备不存在</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>不是串口设备：只打开终端设备（tty）</source>
        <translation>not a serial device: only terminal devices (tty) are opened</translation>
    </message>
    <message>
        <source>打不开：%1</source>
        <translation>cannot open: %1</translation>
    </message>
    <message>
        <source>被其他程序占用：%1；先关闭它</source>
        <translation>in use by another program: %1; close it first</translation>
    </message>
    <message>
        <source>被其他程序占用，可能是 ModemManager 在探测它：运行 driver/install 装上 udev 规则，它就不再碰转换器（fuser -v %1 可查出是谁）</source>
        <translation>in use by another program, perhaps ModemManager probing it: run driver/install for the udev rule that keeps it off the converter (fuser -v %1 shows which)</translation>
    </message>
</context>
<context>
    <name>OutputFile</name>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>这是别的用户的管道或设备</source>
        <translation>it is another user&apos;s pipe or device</translation>
    </message>
    <message>
        <source>管道没有读取方</source>
        <translation>the pipe has no reader</translation>
    </message>
    <message>
        <source>打开时已换成别的文件</source>
        <translation>it was replaced by another file while opening</translation>
    </message>
    <message>
        <source>这是符号链接，输出不跟随链接</source>
        <translation>it is a symbolic link; output does not follow links</translation>
    </message>
    <message>
        <source>文件属于别的用户</source>
        <translation>the file belongs to another user</translation>
    </message>
</context>
<context>
    <name>ParamFields</name>
    <message>
        <source>加热时间</source>
        <translation>Heat time</translation>
    </message>
    <message>
        <source>第一组熔接电流</source>
        <translation>Group 1 arc current</translation>
    </message>
    <message>
        <source>第一组熔接时长</source>
        <translation>Group 1 arc time</translation>
    </message>
    <message>
        <source>第二组熔接电流</source>
        <translation>Group 2 arc current</translation>
    </message>
    <message>
        <source>第二组熔接时长</source>
        <translation>Group 2 arc time</translation>
    </message>
    <message>
        <source>第三组熔接电流</source>
        <translation>Group 3 arc current</translation>
    </message>
    <message>
        <source>第三组熔接时长</source>
        <translation>Group 3 arc time</translation>
    </message>
    <message>
        <source>第四组熔接电流</source>
        <translation>Group 4 arc current</translation>
    </message>
    <message>
        <source>第四组熔接时长</source>
        <translation>Group 4 arc time</translation>
    </message>
    <message>
        <source>第五组熔接电流</source>
        <translation>Group 5 arc current</translation>
    </message>
    <message>
        <source>第五组熔接时长</source>
        <translation>Group 5 arc time</translation>
    </message>
    <message>
        <source>右推进量</source>
        <translation>Right push</translation>
    </message>
    <message>
        <source>左推进量</source>
        <translation>Left push</translation>
    </message>
    <message>
        <source>右芯复位量</source>
        <translation>Right reset</translation>
    </message>
    <message>
        <source>左芯复位量</source>
        <translation>Left reset</translation>
    </message>
    <message>
        <source>主动推进</source>
        <translation>Active push</translation>
    </message>
    <message>
        <source>除尘</source>
        <translation>Clean</translation>
    </message>
    <message>
        <source>调芯复位</source>
        <translation>Core reset</translation>
    </message>
    <message>
        <source>除尘电流</source>
        <translation>Clean arc</translation>
    </message>
    <message>
        <source>除尘时长</source>
        <translation>Clean time</translation>
    </message>
    <message>
        <source>熔接推进量</source>
        <translation>Fuse push</translation>
    </message>
    <message>
        <source>熔接推进速度</source>
        <translation>Push speed</translation>
    </message>
</context>
<context>
    <name>ParamSet</name>
    <message>
        <source>第 2 字节</source>
        <translation>Byte 2</translation>
    </message>
</context>
<context>
    <name>PortSurvey</name>
    <message>
        <source>转换器已接入（USB %1），但没有 tty：%2</source>
        <translation>converter plugged in (USB %1) but no tty: %2</translation>
    </message>
    <message>
        <source>盲文服务 brltty 可能占用了它；不用盲文显示器就卸载它：sudo apt-get remove brltty</source>
        <translation>the braille service brltty may hold it; without a braille display remove it: sudo apt-get remove brltty</translation>
    </message>
    <message>
        <source>重新插拔，dmesg | grep ch341 可看原因</source>
        <translation>replug it; dmesg | grep ch341 shows why</translation>
    </message>
    <message>
        <source>tty 已出现但 /dev 下没有它：重新插拔，或检查 udev</source>
        <translation>the tty exists but is missing from /dev: replug it, or check udev</translation>
    </message>
    <message>
        <source>超出 COM1–COM%1，搜索不会找它</source>
        <translation>beyond COM1–COM%1: the search does not look at it</translation>
    </message>
    <message>
        <source>没有候选端口：没有接入 CH341 转换器，config.ini 的 [ports] 也没有映射；请检查数据线</source>
        <translation>No candidate ports: no CH341 converter is plugged in and config.ini&apos;s [ports] maps none; check the cable</translation>
    </message>
</context>
<context>
    <name>RecordCommands</name>
    <message>
        <source>%1 #%2  %3  %4  熔接次数 %5  %6  %7</source>
        <translation>%1 #%2  %3  %4  fusions %5  %6  %7</translation>
    </message>
    <message>
        <source>服务记录里没有设备 %1</source>
        <translation>The service record has no splicer %1</translation>
    </message>
    <message>
        <source>设备 %1 只有 %2 次连接，没有第 %3 次</source>
        <translation>Splicer %1 has %2 visits, not a visit %3</translation>
    </message>
</context>
<context>
    <name>ServiceList</name>
    <message>
        <source>获得版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>环境状态</source>
        <translation>Environment</translation>
    </message>
    <message>
        <source>调芯复位</source>
        <translation>Core reset</translation>
    </message>
    <message>
        <source>重设调芯复位</source>
        <translation>Set reset origin</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>Device ID</translation>
    </message>
    <message>
        <source>熔接次数</source>
        <translation>Fusion count</translation>
    </message>
    <message>
        <source>当前组别</source>
        <translation>Current group</translation>
    </message>
</context>
<context>
    <name>ServiceRecord</name>
    <message>
        <source>读出参数</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>恢复出厂参数</source>
        <translation>Factory restore</translation>
    </message>
    <message>
        <source>放电测试</source>
        <translation>Arc test</translation>
    </message>
    <message>
        <source>复位测试</source>
        <translation>Core reset test</translation>
    </message>
    <message>
        <source>重置原点</source>
        <translation>Set origin</translation>
    </message>
    <message>
        <source>查询</source>
        <translation>Query</translation>
    </message>
    <message>
        <source>保存参数到文件</source>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>从文件加载参数</source>
        <translation>Load from file</translation>
    </message>
    <message>
        <source>另一个程序正占用它</source>
        <translation>another program holds it</translation>
    </message>
    <message>
        <source>文件或它所在的文件夹只读</source>
        <translation>the file or its folder is read-only</translation>
    </message>
    <message>
        <source>磁盘已满</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>无法打开或建立该文件</source>
        <translation>the file cannot be opened or made</translation>
    </message>
    <message>
        <source>文件已损坏或不是数据库</source>
        <translation>the file is damaged or not a database</translation>
    </message>
    <message>
        <source>读写出错</source>
        <translation>a read or write failed</translation>
    </message>
    <message>
        <source>服务记录 %1：%2</source>
        <translation>Service record %1: %2</translation>
    </message>
    <message>
        <source>服务记录：没有 Qt 的 SQLite 驱动（%1）</source>
        <translation>Service record: Qt&apos;s SQLite driver is missing (%1)</translation>
    </message>
    <message>
        <source>服务记录 %1 来自较新的程序版本（格式 %2），这个版本不写入它</source>
        <translation>Service record %1 comes from a newer version of the program (format %2); this version does not write to it</translation>
    </message>
    <message>
        <source>服务记录 %1 已损坏，也无法改名</source>
        <translation>Service record %1 is damaged and cannot be renamed</translation>
    </message>
    <message>
        <source>服务记录里没有这次连接：%1</source>
        <translation>The service record has no such visit: %1</translation>
    </message>
    <message>
        <source>已写入并核对</source>
        <translation>written and verified</translation>
    </message>
    <message>
        <source>已发送</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>done</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>failed: %1</translation>
    </message>
    <message>
        <source>%1 %2：%3</source>
        <translation>%1 %2: %3</translation>
    </message>
    <message numerus="yes">
        <source>，%n 项改变</source>
        <translation>
            <numerusform>, %n field changed</numerusform>
            <numerusform>, %n fields changed</numerusform>
        </translation>
    </message>
    <message>
        <source>电流 %1，时长 %2 × 0.1s</source>
        <translation>current %1, time %2 × 0.1s</translation>
    </message>
    <message>
        <source>命令 0x%1，没有应答</source>
        <translation>command 0x%1, no answer</translation>
    </message>
    <message>
        <source>命令 0x%1，应答 %2</source>
        <translation>command 0x%1, answer %2</translation>
    </message>
    <message numerus="yes">
        <source>%n 个参数</source>
        <translation>
            <numerusform>%n field</numerusform>
            <numerusform>%n fields</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ServiceReport</name>
    <message>
        <source>熔接机服务报告</source>
        <translation>Splicer service report</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>Device ID</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>熔接次数</source>
        <translation>Fusion count</translation>
    </message>
    <message>
        <source>日期和时间</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>技术员</source>
        <translation>Technician</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>程序版本</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>已核对</source>
        <translation>verified</translation>
    </message>
    <message>
        <source>未核对</source>
        <translation>not verified</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>改变的参数</source>
        <translation>Fields changed</translation>
    </message>
    <message>
        <source>没有写入参数。</source>
        <translation>No parameters were written.</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>之前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>之后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>核对</source>
        <translation>Verified</translation>
    </message>
</context>
<context>
    <name>SetCompare</name>
    <message>
        <source>%1：固件 %2 的参数块装不下，不会写入</source>
        <translation>%1: firmware %2&apos;s block cannot hold it; not written</translation>
    </message>
    <message>
        <source>%1：文件的参数块里没有，保留熔接机的值</source>
        <translation>%1: not in the file&apos;s block; the splicer&apos;s value stays</translation>
    </message>
    <message>
        <source>%1：按固件 %2 的单位换算，%3 → %4</source>
        <translation>%1: converted to firmware %2&apos;s scale, %3 → %4</translation>
    </message>
</context>
<context>
    <name>SetFile</name>
    <message>
        <source>%1：%2</source>
        <extracomment>The set&apos;s file name, and what is wrong with the set.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>允许 %1 到 %2</source>
        <translation>allowed %1 to %2</translation>
    </message>
    <message>
        <source>缺少 %1（%2）</source>
        <translation>%1 is missing (%2)</translation>
    </message>
    <message>
        <source>%1 出现了 %2 次</source>
        <translation>%1 appears %2 times</translation>
    </message>
    <message>
        <source>%1=%2 不是整数（%3）</source>
        <translation>%1=%2 is not an integer (%3)</translation>
    </message>
    <message>
        <source>缺少 %1</source>
        <translation>%1 is missing</translation>
    </message>
    <message>
        <source>%1=%2 不是参数块（至多 %3 字节，十六进制）</source>
        <translation>%1=%2 is not a parameter block (at most %3 bytes, hexadecimal)</translation>
    </message>
    <message>
        <source>%1=%2 超出范围（%3）</source>
        <translation>%1=%2 is out of range (%3)</translation>
    </message>
    <message>
        <source>没有 [%1] 节</source>
        <translation>no [%1] section</translation>
    </message>
    <message>
        <source>（换算到固件 %1 是 %2）</source>
        <translation> (%2 for firmware %1)</translation>
    </message>
    <message>
        <source>[%1] 节出现了 %2 次</source>
        <translation>section [%1] appears %2 times</translation>
    </message>
    <message>
        <source>不是 JSON 对象：%1</source>
        <translation>not a JSON object: %1</translation>
    </message>
    <message>
        <source>顶层不是对象</source>
        <translation>the top level is no object</translation>
    </message>
</context>
<context>
    <name>SetInput</name>
    <message>
        <source>标准输入</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 大于 1 MiB，不是参数文件</source>
        <translation>%1 is larger than 1 MiB: not a parameter file</translation>
    </message>
</context>
<context>
    <name>SetLibrary</name>
    <message>
        <source>无法创建参数库文件夹 %1</source>
        <translation>Cannot create the parameter library folder %1</translation>
    </message>
    <message>
        <source>参数组名“%1”不可用：只用字母、数字、空格和 - _ + . ( )，不以 . 或空格开头或以空格结尾，至多 %2 个字符</source>
        <translation>The set name &quot;%1&quot; cannot be used: letters, digits, blanks and - _ + . ( ) only, not beginning with . or a blank nor ending with a blank, at most %2 characters</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 大于 1 MiB，不是参数文件</source>
        <translation>%1 is larger than 1 MiB: not a parameter file</translation>
    </message>
    <message>
        <source>参数组“%1”已存在</source>
        <translation>The set &quot;%1&quot; exists already</translation>
    </message>
    <message>
        <source>无法把参数组“%1”改名为“%2”：%3</source>
        <translation>Cannot rename the set &quot;%1&quot; to &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>无法删除参数组“%1”：%2</source>
        <translation>Cannot delete the set &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
</context>
<context>
    <name>SplicerLink</name>
    <message>
        <source> 未连接设备！ </source>
        <translation>No splicer connected!</translation>
    </message>
    <message>
        <source>未发现有设备连接！</source>
        <translation>No splicer found!</translation>
    </message>
    <message>
        <source>你确定要写入数据到设备？</source>
        <translation>Write the parameters to the splicer?</translation>
    </message>
</context>
<context>
    <name>StopSignals</name>
    <message>
        <source>无法处理信号：%1</source>
        <translation>Cannot handle signals: %1</translation>
    </message>
</context>
<context>
    <name>TeamRecord</name>
    <message>
        <source>本机服务记录 %1：%2</source>
        <translation>Local service record %1: %2</translation>
    </message>
    <message>
        <source>config.ini 的 [record] server= 不可用：%1</source>
        <translation>[record] server= in config.ini cannot be used: %1</translation>
    </message>
    <message>
        <source>“%1”后面缺少 =</source>
        <translation>&quot;%1&quot; is not followed by =</translation>
    </message>
    <message>
        <source>引号没有结束</source>
        <translation>a quote is not closed</translation>
    </message>
    <message>
        <source>不接受写在其中的密码</source>
        <translation>a password written in it is not accepted (use ~/.pgpass, PGPASSWORD or a service file)</translation>
    </message>
    <message>
        <source>%1 的值里有分号</source>
        <translation>the value of %1 contains a semicolon</translation>
    </message>
    <message>
        <source>团队记录副本 %1：%2</source>
        <translation>Copy of the team record %1: %2</translation>
    </message>
    <message>
        <source>团队服务器上还没有服务记录的表：请先运行 spliceon --sync-record --init</source>
        <translation>The team server has no service record tables yet: run spliceon --sync-record --init first</translation>
    </message>
    <message>
        <source>团队服务器：%1</source>
        <translation>Team server: %1</translation>
    </message>
    <message>
        <source>没有 Qt 的 PostgreSQL 驱动（%1），团队记录不能发送</source>
        <translation>Qt&apos;s PostgreSQL driver (%1) is missing: the team record cannot be sent</translation>
    </message>
    <message>
        <source>团队服务器上的服务记录格式较旧（%1）：请运行 spliceon --sync-record --init</source>
        <translation>The service record schema on the team server is older (%1): run spliceon --sync-record --init</translation>
    </message>
</context>
<context>
    <name>TextFormat</name>
    <message>
        <source>熔接机应答，固件 %1</source>
        <translation>splicer answered, firmware %1</translation>
    </message>
    <message>
        <source>熔接机应答，没有报告固件版本</source>
        <translation>splicer answered, no firmware version reported</translation>
    </message>
    <message>
        <source>握手失败：%1</source>
        <translation>handshake failed: %1</translation>
    </message>
    <message>
        <source>没有熔接机应答</source>
        <translation>no splicer answered</translation>
    </message>
    <message>
        <source>；%1</source>
        <extracomment>Joins what the probe found to the port&apos;s state.</extracomment>
        <translation>; %1</translation>
    </message>
    <message>
        <source>; 设备ID：%1
; 固件版本：%2
; 熔接次数：%3
; 日期：%4
</source>
        <translation>; Device ID: %1
; Firmware: %2
; Fusion count: %3
; Date: %4
</translation>
    </message>
</context>
<context>
    <name>TfrmAbout</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Spliceon V1.4</source>
        <translation>Spliceon V1.4</translation>
    </message>
    <message>
        <source>© 2026 Spliceon 开发团队</source>
        <translation>© 2026 Spliceon developers</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TfrmCompare</name>
    <message>
        <source>与文件比较</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>熔接机</source>
        <translation>Splicer</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>另列：</source>
        <translation>Apart:</translation>
    </message>
    <message>
        <source>把文件的值加载到参数栏(&amp;L)</source>
        <translation>&amp;Load the file&apos;s values</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>与文件比较：%1</source>
        <translation>Compare with file: %1</translation>
    </message>
    <message>
        <source>熔接机与文件的参数相同</source>
        <translation>The splicer&apos;s parameters are the file&apos;s</translation>
    </message>
    <message>
        <source>%1 项不同（红色）</source>
        <translation>%1 different (red)</translation>
    </message>
</context>
<context>
    <name>TfrmConnectionHelp</name>
    <message>
        <source>连接帮助</source>
        <translation>Connection help</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>状况与办法</source>
        <translation>State and remedy</translation>
    </message>
    <message>
        <source>也请检查：数据线已插好，熔接机已开机；转换器应出现在 ls -l /dev/ttyUSB* 和 dmesg | grep ch341 中。</source>
        <translation>Also check: the cable is plugged in and the splicer is switched on; the converter should show in ls -l /dev/ttyUSB* and dmesg | grep ch341.</translation>
    </message>
    <message>
        <source>重新检查(&amp;R)</source>
        <translation>&amp;Recheck</translation>
    </message>
    <message>
        <source>连接设备(&amp;C)</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>没有连接熔接机。下表是搜索会试的端口及其状况；改好后按“连接设备”再搜索。</source>
        <translation>No splicer connected. Below are the ports the search tries and how each stands; fix what is listed, then press &quot;Connect&quot; to search again.</translation>
    </message>
    <message>
        <source>已连接：%1（%2），熔接机 %3，固件 %4</source>
        <translation>Connected: %1 (%2), splicer %3, firmware %4</translation>
    </message>
    <message>
        <source>本程序已连接在这里</source>
        <translation>connected here by this program</translation>
    </message>
</context>
<context>
    <name>TfrmLibrary</name>
    <message>
        <source>参数库</source>
        <translation>Parameter library</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>固件</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>来源设备</source>
        <translation>From splicer</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>保存当前参数(&amp;S)…</source>
        <translation>&amp;Save the fields…</translation>
    </message>
    <message>
        <source>加载到参数栏(&amp;L)</source>
        <translation>&amp;Load into the fields</translation>
    </message>
    <message>
        <source>改名(&amp;R)…</source>
        <translation>&amp;Rename…</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>导入(&amp;I)…</source>
        <translation>&amp;Import…</translation>
    </message>
    <message>
        <source>导出(&amp;E)…</source>
        <translation>&amp;Export…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>参数文件 (*.ini *.json);;所有文件 (*)</source>
        <translation>Parameter files (*.ini *.json);;All files (*)</translation>
    </message>
    <message>
        <source>请先在列表中选一个参数组</source>
        <translation>Choose a set in the list first</translation>
    </message>
    <message>
        <source>参数组“%1”已存在，要替换它吗？</source>
        <translation>The set &quot;%1&quot; exists already. Replace it?</translation>
    </message>
    <message>
        <source>要删除参数组“%1”吗？</source>
        <translation>Delete the set &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>保存当前参数</source>
        <translation>Save the fields</translation>
    </message>
    <message>
        <source>参数组名：</source>
        <translation>Set name:</translation>
    </message>
    <message>
        <source>改名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>新的参数组名：</source>
        <translation>New set name:</translation>
    </message>
    <message>
        <source>导入参数文件</source>
        <translation>Import a parameter file</translation>
    </message>
    <message>
        <source>导出参数组</source>
        <translation>Export the set</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>Spliceon</source>
        <translation>Spliceon</translation>
    </message>
    <message>
        <source>熔接参数</source>
        <translation>Arc parameters</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>加热时间：</source>
        <translation>Heat time:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>第一组：</source>
        <translation>Group 1:</translation>
    </message>
    <message>
        <source>熔接电流</source>
        <translation>Arc current</translation>
    </message>
    <message>
        <source>熔接时长</source>
        <translation>Arc time</translation>
    </message>
    <message>
        <source>0.1s</source>
        <translation>0.1s</translation>
    </message>
    <message>
        <source>第二组：</source>
        <translation>Group 2:</translation>
    </message>
    <message>
        <source>第三组：</source>
        <translation>Group 3:</translation>
    </message>
    <message>
        <source>第四组：</source>
        <translation>Group 4:</translation>
    </message>
    <message>
        <source>第五组：</source>
        <translation>Group 5:</translation>
    </message>
    <message>
        <source>主动推进</source>
        <translation>Active push</translation>
    </message>
    <message>
        <source>除尘</source>
        <translation>Clean</translation>
    </message>
    <message>
        <source>调芯复位</source>
        <translation>Core reset</translation>
    </message>
    <message>
        <source>放电测试</source>
        <translation>Test arc</translation>
    </message>
    <message>
        <source>左推进量</source>
        <translation>Left push</translation>
    </message>
    <message>
        <source>右推进量</source>
        <translation>Right push</translation>
    </message>
    <message>
        <source>左芯复位量</source>
        <translation>Left reset</translation>
    </message>
    <message>
        <source>右芯复位量</source>
        <translation>Right reset</translation>
    </message>
    <message>
        <source>除尘电流</source>
        <translation>Clean arc</translation>
    </message>
    <message>
        <source>除尘时长</source>
        <translation>Clean time</translation>
    </message>
    <message>
        <source>0.01s</source>
        <translation>0.01s</translation>
    </message>
    <message>
        <source>熔接推进量</source>
        <translation>Fuse push</translation>
    </message>
    <message>
        <source>熔接推进速度</source>
        <translation>Push speed</translation>
    </message>
    <message>
        <source>从文件加载参数</source>
        <translation>Load from file</translation>
    </message>
    <message>
        <source>恢复出厂参数</source>
        <translation>Factory restore</translation>
    </message>
    <message>
        <source>保存参数到文件</source>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>复位测试</source>
        <translation>Reset test</translation>
    </message>
    <message>
        <source>重置原点</source>
        <translation>Set origin</translation>
    </message>
    <message>
        <source>写入参数到设备</source>
        <translation>Write to splicer</translation>
    </message>
    <message>
        <source>从设备读出参数</source>
        <translation>Read from splicer</translation>
    </message>
    <message>
        <source>其它命令：</source>
        <translation>Command:</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>保存到出厂设置</source>
        <translation>Save as factory set</translation>
    </message>
    <message>
        <source>校正参数</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>HR0020</source>
        <translation>HR0020</translation>
    </message>
    <message>
        <source>HR2050</source>
        <translation>HR2050</translation>
    </message>
    <message>
        <source>HR5080</source>
        <translation>HR5080</translation>
    </message>
    <message>
        <source>HR8000</source>
        <translation>HR8000</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>设备管理(&amp;S)</source>
        <translation>&amp;Splicer</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>连接设备(&amp;C)</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>断开连接(&amp;D)</source>
        <translation>&amp;Disconnect</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <source>通讯记录(&amp;L)</source>
        <translation>Traffic &amp;log</translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>已连接设备</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>已断开设备</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>你确定要恢复出厂设置数据到设备？</source>
        <translation>Restore the factory parameters on the splicer?</translation>
    </message>
    <message>
        <source>对准光纤后，按切换键，再次对准光纤。确定都对准了吗？</source>
        <translation>Align the fibres, press the switch key and align them again. Are both aligned?</translation>
    </message>
    <message>
        <source>设备未连接！</source>
        <translation>Splicer not connected!</translation>
    </message>
    <message>
        <source>ID: %1
熔接次数: %2
当前组别: %3</source>
        <translation>ID: %1
Fusion count: %2
Current group: %3</translation>
    </message>
    <message>
        <source>你需要保存当前参数到文件吗？</source>
        <translation>Save the current parameters to the file?</translation>
    </message>
    <message>
        <source>参数加载完毕！</source>
        <translation>Parameters loaded.</translation>
    </message>
    <message>
        <source>参数库(&amp;B)…</source>
        <translation>Parameter li&amp;brary…</translation>
    </message>
    <message>
        <source>与文件比较(&amp;M)…</source>
        <translation>Co&amp;mpare with file…</translation>
    </message>
    <message>
        <source>与文件比较</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <source>参数文件 (*.ini *.json);;所有文件 (*)</source>
        <translation>Parameter files (*.ini *.json);;All files (*)</translation>
    </message>
    <message>
        <source>没有连接熔接机：先连接设备，再比较</source>
        <translation>No splicer connected: connect it first, then compare</translation>
    </message>
    <message>
        <source>熔接机没有应答参数读取</source>
        <translation>The splicer did not answer the parameter read</translation>
    </message>
    <message>
        <source>连接帮助(&amp;H)…</source>
        <translation>Connection &amp;help…</translation>
    </message>
    <message>
        <source>已连接：%1（%2），设备ID %3</source>
        <translation>Connected: %1 (%2), device ID %3</translation>
    </message>
    <message>
        <source>没有熔接机：见 工具 → 连接帮助</source>
        <translation>no splicer: see Tools → Connection help</translation>
    </message>
    <message>
        <source>服务记录(&amp;R)…</source>
        <translation>Service &amp;record…</translation>
    </message>
    <message>
        <source>服务记录（团队服务器）</source>
        <translation>Service record (team server)</translation>
    </message>
    <message>
        <source>服务记录（本机）</source>
        <translation>Service record (this computer)</translation>
    </message>
</context>
<context>
    <name>TfrmMonitor</name>
    <message>
        <source>通讯记录</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>无法保存通讯记录到 %1：%2</source>
        <translation>Cannot save the traffic log to %1: %2</translation>
    </message>
    <message>
        <source>保存通讯记录</source>
        <translation>Save traffic log</translation>
    </message>
    <message>
        <source>文本文件 (*.txt);;所有文件 (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>参数块的一行（双击也可）展开为各字段：名称、值、单位</source>
        <translation>Opens the parameter block on the current line (or double-click it) into its fields: name, value, unit</translation>
    </message>
    <message>
        <source>参数字段(&amp;F)</source>
        <translation>Block &amp;fields</translation>
    </message>
    <message>
        <source>（不在块中）</source>
        <translation>(not in the block)</translation>
    </message>
    <message>
        <source>参数块字段：%1</source>
        <translation>Block fields: %1</translation>
    </message>
</context>
<context>
    <name>TfrmRecord</name>
    <message>
        <source>服务记录</source>
        <translation>Service record</translation>
    </message>
    <message>
        <source>设备ID：</source>
        <translation>Device ID:</translation>
    </message>
    <message>
        <source>从此日期起：</source>
        <translation>Since:</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>Device ID</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>熔接次数</source>
        <translation>Fusion count</translation>
    </message>
    <message>
        <source>最近连接</source>
        <translation>Last seen</translation>
    </message>
    <message>
        <source>连接次数</source>
        <translation>Visits</translation>
    </message>
    <message>
        <source>连接时间</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>用户</source>
        <translation>User</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>导出报告…</source>
        <translation>Export report…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>导出报告</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf);;HTML 文件 (*.html)</source>
        <translation>PDF files (*.pdf);;HTML files (*.html)</translation>
    </message>
</context>
<context>
    <name>TraceFile</name>
    <message>
        <source>无法写入记录文件 %1：%2</source>
        <translation>Cannot write the trace file %1: %2</translation>
    </message>
    <message>
        <source>这是符号链接，记录不跟随链接</source>
        <translation>it is a symbolic link; the trace does not follow links</translation>
    </message>
    <message>
        <source>管道没有读取方</source>
        <translation>the pipe has no reader</translation>
    </message>
    <message>
        <source>文件属于别的用户</source>
        <translation>the file belongs to another user</translation>
    </message>
    <message>
        <source>%1（记录不完整）</source>
        <translation>%1 (trace incomplete)</translation>
    </message>
    <message>
        <source>文件还有别的硬链接</source>
        <translation>the file has other hard links</translation>
    </message>
</context>
<context>
    <name>record::TRecorder</name>
    <message>
        <source>参数块没有发出</source>
        <translation>the parameter block was not sent</translation>
    </message>
    <message>
        <source>读回的参数与写入的不同</source>
        <translation>the parameters read back differ from those written</translation>
    </message>
    <message>
        <source>参数块发出后线路断开，没有核对</source>
        <translation>the line dropped after the block went out; not verified</translation>
    </message>
    <message>
        <source>服务记录已损坏，已改名为 %1 保留；新的记录写入新文件</source>
        <translation>The service record was damaged; it is kept as %1 and new records go to a new file</translation>
    </message>
    <message>
        <source>没有记入服务记录：%1</source>
        <translation>Not recorded in the service record: %1</translation>
    </message>
</context>
</TS>
