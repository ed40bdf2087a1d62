<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <source>获得版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>环境状态</source>
        <translation>Environment</translation>
    </message>
    <message>
        <source>重设调芯复位</source>
        <translation>Set core reset origin</translation>
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
        <source>你确定要写入数据到设备？</source>
        <translation>Write the parameters to the splicer?</translation>
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
</context>
</TS>
