<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>ColumnSpeech</name>
    <message>
        <source>%1 degrees Celsius</source>
        <translation>%1 摄氏度</translation>
    </message>
    <message>
        <source>%1 degrees Fahrenheit</source>
        <translation>%1 华氏度</translation>
    </message>
    <message>
        <source>dddd d MMMM</source>
        <comment>date pattern</comment>
        <translation>M月d日 dddd</translation>
    </message>
    <message>
        <source>%1: %2, high %3, low %4</source>
        <translation>%1：%2，最高 %3，最低 %4</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Fetch the forecast in the panel&apos;s own format from URL (http:// or file://), this time only, instead of the weather of a place.</source>
        <translation>从 URL（http:// 或 file://）获取面板自有格式的预报，仅限本次，代替某地的天气。</translation>
    </message>
    <message>
        <source>Show the weather of PLACE from Open-Meteo and keep it for later starts. PLACE is a place name (the first match of Open-Meteo&apos;s search) or LAT,LON in decimal degrees; &quot;&quot; forgets the kept place.</source>
        <translation>显示 Open-Meteo 提供的 PLACE 的天气，并为以后的启动保留它。PLACE 是地名（Open-Meteo 搜索的第一个结果）或以十进制度表示的 LAT,LON；&quot;&quot; 忘记保留的地点。</translation>
    </message>
    <message>
        <source>Refresh the forecast every N minutes, just after midnight and after a wake from suspend, and keep N for later starts; 0 (the default) fetches only at start.</source>
        <translation>每 N 分钟、午夜刚过以及从挂起唤醒后刷新预报，并为以后的启动保留 N；0（默认）仅在启动时获取。</translation>
    </message>
    <message>
        <source>Show Open-Meteo temperatures in UNIT (celsius or fahrenheit) and keep it for later starts; &quot;&quot; returns to the unit of the locale (Fahrenheit in the US, Celsius elsewhere).</source>
        <translation>以 UNIT（celsius 摄氏或 fahrenheit 华氏）显示 Open-Meteo 的温度，并为以后的启动保留它；&quot;&quot; 恢复区域设置的单位（美国为华氏，其他地区为摄氏）。</translation>
    </message>
    <message>
        <source>Refresh the running panel&apos;s forecast now (what a start without options does when a panel runs).</source>
        <translation>立即刷新正在运行的面板的预报（面板运行时不带选项启动即如此）。</translation>
    </message>
    <message>
        <source>Forget where the panel was left and move it to the default place, near the bottom-right corner of the screen.</source>
        <translation>忘记面板所在的位置，并将其移到默认位置，即屏幕右下角附近。</translation>
    </message>
    <message>
        <source>Print the running panel&apos;s status as one line of JSON; exit status 1 when no panel runs.</source>
        <translation>以一行 JSON 打印正在运行的面板的状态；没有面板运行时退出状态为 1。</translation>
    </message>
    <message>
        <source>End the running panel.</source>
        <translation>结束正在运行的面板。</translation>
    </message>
    <message>
        <source>Print the form and its 28 controls after loading, one JSON object per line, then exit.</source>
        <translation>加载后打印窗体及其 28 个控件，每行一个 JSON 对象，然后退出。</translation>
    </message>
    <message>
        <source>Render the loaded panel into FILE (PNG), then exit.</source>
        <translation>将加载后的面板渲染到 FILE（PNG），然后退出。</translation>
    </message>
    <message>
        <source>A translucent desktop panel with the seven-day weather forecast.
One panel runs per user and display: a later start hands its options to the running panel and exits.</source>
        <translation>显示七天天气预报的半透明桌面面板。
每个用户和显示器只运行一个面板：之后的启动会把选项交给正在运行的面板并退出。</translation>
    </message>
    <message>
        <source>Ask a place&apos;s forecast of SOURCE and keep it for later starts: auto (the default: Open-Meteo, and MET Norway when Open-Meteo cannot answer), open-meteo or met-norway.</source>
        <translation>从 SOURCE 获取地点的天气预报，并为以后的启动保留：auto（默认：Open-Meteo，Open-Meteo 无法应答时使用 MET Norway）、open-meteo 或 met-norway。</translation>
    </message>
    <message>
        <source>Print the details of each day after loading (what a click on its column shows), one JSON object per line, then exit.</source>
        <translation>加载后输出每一天的详情（单击该列时显示的内容），每行一个 JSON 对象，然后退出。</translation>
    </message>
    <message>
        <source>Render the details popup of day DAY (0 to 6) into FILE (PNG), given after DAY, then exit.</source>
        <translation>将第 DAY 天（0 到 6）的详情弹窗绘制到 DAY 之后给出的 FILE（PNG），然后退出。</translation>
    </message>
</context>
<context>
    <name>DayPopup</name>
    <message>
        <source>N</source>
        <comment>compass point</comment>
        <translation>北</translation>
    </message>
    <message>
        <source>NE</source>
        <comment>compass point</comment>
        <translation>东北</translation>
    </message>
    <message>
        <source>E</source>
        <comment>compass point</comment>
        <translation>东</translation>
    </message>
    <message>
        <source>SE</source>
        <comment>compass point</comment>
        <translation>东南</translation>
    </message>
    <message>
        <source>S</source>
        <comment>compass point</comment>
        <translation>南</translation>
    </message>
    <message>
        <source>SW</source>
        <comment>compass point</comment>
        <translation>西南</translation>
    </message>
    <message>
        <source>W</source>
        <comment>compass point</comment>
        <translation>西</translation>
    </message>
    <message>
        <source>NW</source>
        <comment>compass point</comment>
        <translation>西北</translation>
    </message>
    <message>
        <source>%1, %2 to %3</source>
        <translation>%1，%2 至 %3</translation>
    </message>
    <message>
        <source>now</source>
        <translation>现在</translation>
    </message>
    <message>
        <source>No hourly forecast</source>
        <translation>无逐时预报</translation>
    </message>
    <message>
        <source>, chance up to %1 %</source>
        <translation>，概率最高 %1 %</translation>
    </message>
    <message>
        <source>Sunrise %1, sunset %2</source>
        <translation>日出 %1，日落 %2</translation>
    </message>
    <message>
        <source>Wind up to %1</source>
        <translation>最大风速 %1</translation>
    </message>
    <message>
        <source>Precipitation %1</source>
        <translation>降水量 %1</translation>
    </message>
    <message>
        <source>Feels like %1 to %2</source>
        <translation>体感 %1 至 %2</translation>
    </message>
</context>
<context>
    <name>PanelStatus</name>
    <message>
        <source>Updated %1</source>
        <translation>更新于 %1</translation>
    </message>
    <message>
        <source>Not updated yet</source>
        <translation>尚未更新</translation>
    </message>
    <message>
        <source>Problem: %1</source>
        <translation>问题：%1</translation>
    </message>
    <message>
        <source>Next try %1</source>
        <translation>下次重试 %1</translation>
    </message>
    <message>
        <source>Next update %1</source>
        <translation>下次更新 %1</translation>
    </message>
    <message>
        <source>Shown: fetched %1</source>
        <translation>显示的预报获取于 %1</translation>
    </message>
</context>
<context>
    <name>PanelTray</name>
    <message>
        <source>Refresh now</source>
        <translation>立即刷新</translation>
    </message>
    <message>
        <source>Reset position</source>
        <translation>重置位置</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
</context>
<context>
    <name>Skyvane</name>
    <message>
        <source>Seven-day weather forecast</source>
        <translation>七天天气预报</translation>
    </message>
</context>
<context>
    <name>Weather</name>
    <message>
        <source>Clear sky</source>
        <translation>晴</translation>
    </message>
    <message>
        <source>Clear</source>
        <comment>short for: Clear sky</comment>
        <translation>晴</translation>
    </message>
    <message>
        <source>Cloudy</source>
        <translation>阴</translation>
    </message>
    <message>
        <source>Cloudy</source>
        <comment>short for: Cloudy</comment>
        <translation>阴</translation>
    </message>
    <message>
        <source>Fair</source>
        <translation>晴间多云</translation>
    </message>
    <message>
        <source>Fair</source>
        <comment>short for: Fair</comment>
        <translation>晴间多云</translation>
    </message>
    <message>
        <source>Fog</source>
        <translation>雾</translation>
    </message>
    <message>
        <source>Fog</source>
        <comment>short for: Fog</comment>
        <translation>雾</translation>
    </message>
    <message>
        <source>Heavy rain</source>
        <translation>大雨</translation>
    </message>
    <message>
        <source>Rain</source>
        <comment>short for: Heavy rain</comment>
        <translation>大雨</translation>
    </message>
    <message>
        <source>Heavy rain and thunder</source>
        <translation>强雷雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Heavy rain and thunder</comment>
        <translation>强雷雨</translation>
    </message>
    <message>
        <source>Heavy rain showers</source>
        <translation>强阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <comment>short for: Heavy rain showers</comment>
        <translation>强阵雨</translation>
    </message>
    <message>
        <source>Heavy rain showers and thunder</source>
        <translation>强雷阵雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Heavy rain showers and thunder</comment>
        <translation>强雷阵雨</translation>
    </message>
    <message>
        <source>Heavy sleet</source>
        <translation>大雨夹雪</translation>
    </message>
    <message>
        <source>Sleet</source>
        <comment>short for: Heavy sleet</comment>
        <translation>大雨夹雪</translation>
    </message>
    <message>
        <source>Heavy sleet and thunder</source>
        <translation>大雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Heavy sleet and thunder</comment>
        <translation>大雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Heavy sleet showers</source>
        <translation>强阵雨夹雪</translation>
    </message>
    <message>
        <source>Sleet</source>
        <comment>short for: Heavy sleet showers</comment>
        <translation>强阵雨夹雪</translation>
    </message>
    <message>
        <source>Heavy sleet showers and thunder</source>
        <translation>强阵雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Heavy sleet showers and thunder</comment>
        <translation>强阵雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Heavy snow</source>
        <translation>大雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Heavy snow</comment>
        <translation>大雪</translation>
    </message>
    <message>
        <source>Heavy snow and thunder</source>
        <translation>大雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Heavy snow and thunder</comment>
        <translation>大雪伴雷</translation>
    </message>
    <message>
        <source>Heavy snow showers</source>
        <translation>大阵雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Heavy snow showers</comment>
        <translation>大阵雪</translation>
    </message>
    <message>
        <source>Heavy snow showers and thunder</source>
        <translation>大阵雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Heavy snow showers and thunder</comment>
        <translation>大阵雪伴雷</translation>
    </message>
    <message>
        <source>Light rain</source>
        <translation>小雨</translation>
    </message>
    <message>
        <source>Rain</source>
        <comment>short for: Light rain</comment>
        <translation>小雨</translation>
    </message>
    <message>
        <source>Light rain and thunder</source>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Light rain and thunder</comment>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Light rain showers</source>
        <translation>小阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <comment>short for: Light rain showers</comment>
        <translation>小阵雨</translation>
    </message>
    <message>
        <source>Light rain showers and thunder</source>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Light rain showers and thunder</comment>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Light sleet</source>
        <translation>小雨夹雪</translation>
    </message>
    <message>
        <source>Sleet</source>
        <comment>short for: Light sleet</comment>
        <translation>小雨夹雪</translation>
    </message>
    <message>
        <source>Light sleet and thunder</source>
        <translation>小雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Light sleet and thunder</comment>
        <translation>小雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Light sleet showers</source>
        <translation>小阵雨夹雪</translation>
    </message>
    <message>
        <source>Sleet</source>
        <comment>short for: Light sleet showers</comment>
        <translation>小阵雨夹雪</translation>
    </message>
    <message>
        <source>Light snow</source>
        <translation>小雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Light snow</comment>
        <translation>小雪</translation>
    </message>
    <message>
        <source>Light snow and thunder</source>
        <translation>小雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Light snow and thunder</comment>
        <translation>小雪伴雷</translation>
    </message>
    <message>
        <source>Light snow showers</source>
        <translation>小阵雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Light snow showers</comment>
        <translation>小阵雪</translation>
    </message>
    <message>
        <source>Light sleet showers and thunder</source>
        <translation>小阵雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Light sleet showers and thunder</comment>
        <translation>小阵雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Light snow showers and thunder</source>
        <translation>小阵雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Light snow showers and thunder</comment>
        <translation>小阵雪伴雷</translation>
    </message>
    <message>
        <source>Partly cloudy</source>
        <translation>多云</translation>
    </message>
    <message>
        <source>Cloudy</source>
        <comment>short for: Partly cloudy</comment>
        <translation>多云</translation>
    </message>
    <message>
        <source>Rain</source>
        <translation>中雨</translation>
    </message>
    <message>
        <source>Rain</source>
        <comment>short for: Rain</comment>
        <translation>中雨</translation>
    </message>
    <message>
        <source>Rain and thunder</source>
        <translation>雷雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Rain and thunder</comment>
        <translation>雷雨</translation>
    </message>
    <message>
        <source>Rain showers</source>
        <translation>阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <comment>short for: Rain showers</comment>
        <translation>阵雨</translation>
    </message>
    <message>
        <source>Rain showers and thunder</source>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Rain showers and thunder</comment>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Sleet</source>
        <translation>雨夹雪</translation>
    </message>
    <message>
        <source>Sleet</source>
        <comment>short for: Sleet</comment>
        <translation>雨夹雪</translation>
    </message>
    <message>
        <source>Sleet and thunder</source>
        <translation>雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Sleet and thunder</comment>
        <translation>雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Sleet showers</source>
        <translation>阵雨夹雪</translation>
    </message>
    <message>
        <source>Sleet</source>
        <comment>short for: Sleet showers</comment>
        <translation>阵雨夹雪</translation>
    </message>
    <message>
        <source>Sleet showers and thunder</source>
        <translation>阵雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Sleet showers and thunder</comment>
        <translation>阵雨夹雪伴雷</translation>
    </message>
    <message>
        <source>Snow</source>
        <translation>中雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Snow</comment>
        <translation>中雪</translation>
    </message>
    <message>
        <source>Snow and thunder</source>
        <translation>雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Snow and thunder</comment>
        <translation>雪伴雷</translation>
    </message>
    <message>
        <source>Snow showers</source>
        <translation>阵雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Snow showers</comment>
        <translation>阵雪</translation>
    </message>
    <message>
        <source>Snow showers and thunder</source>
        <translation>阵雪伴雷</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Snow showers and thunder</comment>
        <translation>阵雪伴雷</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>晴</translation>
    </message>
    <message>
        <source>Clear</source>
        <comment>short for: Clear</comment>
        <translation>晴</translation>
    </message>
    <message>
        <source>Mainly clear</source>
        <translation>晴</translation>
    </message>
    <message>
        <source>Clear</source>
        <comment>short for: Mainly clear</comment>
        <translation>晴</translation>
    </message>
    <message>
        <source>Overcast</source>
        <translation>阴</translation>
    </message>
    <message>
        <source>Overcast</source>
        <comment>short for: Overcast</comment>
        <translation>阴</translation>
    </message>
    <message>
        <source>Rime fog</source>
        <translation>雾</translation>
    </message>
    <message>
        <source>Fog</source>
        <comment>short for: Rime fog</comment>
        <translation>雾</translation>
    </message>
    <message>
        <source>Light drizzle</source>
        <translation>小毛毛雨</translation>
    </message>
    <message>
        <source>Drizzle</source>
        <comment>short for: Light drizzle</comment>
        <translation>小毛毛雨</translation>
    </message>
    <message>
        <source>Drizzle</source>
        <translation>毛毛雨</translation>
    </message>
    <message>
        <source>Drizzle</source>
        <comment>short for: Drizzle</comment>
        <translation>毛毛雨</translation>
    </message>
    <message>
        <source>Dense drizzle</source>
        <translation>大毛毛雨</translation>
    </message>
    <message>
        <source>Drizzle</source>
        <comment>short for: Dense drizzle</comment>
        <translation>大毛毛雨</translation>
    </message>
    <message>
        <source>Freezing drizzle</source>
        <translation>冻毛毛雨</translation>
    </message>
    <message>
        <source>Drizzle</source>
        <comment>short for: Freezing drizzle</comment>
        <translation>冻毛毛雨</translation>
    </message>
    <message>
        <source>Dense freezing drizzle</source>
        <translation>冻毛毛雨</translation>
    </message>
    <message>
        <source>Drizzle</source>
        <comment>short for: Dense freezing drizzle</comment>
        <translation>冻毛毛雨</translation>
    </message>
    <message>
        <source>Freezing rain</source>
        <translation>冻雨</translation>
    </message>
    <message>
        <source>Rain</source>
        <comment>short for: Freezing rain</comment>
        <translation>冻雨</translation>
    </message>
    <message>
        <source>Heavy freezing rain</source>
        <translation>冻雨</translation>
    </message>
    <message>
        <source>Rain</source>
        <comment>short for: Heavy freezing rain</comment>
        <translation>冻雨</translation>
    </message>
    <message>
        <source>Snow grains</source>
        <translation>米雪</translation>
    </message>
    <message>
        <source>Snow</source>
        <comment>short for: Snow grains</comment>
        <translation>米雪</translation>
    </message>
    <message>
        <source>Light showers</source>
        <translation>小阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <comment>short for: Light showers</comment>
        <translation>小阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <translation>阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <comment>short for: Showers</comment>
        <translation>阵雨</translation>
    </message>
    <message>
        <source>Violent showers</source>
        <translation>强阵雨</translation>
    </message>
    <message>
        <source>Showers</source>
        <comment>short for: Violent showers</comment>
        <translation>强阵雨</translation>
    </message>
    <message>
        <source>Thunderstorm</source>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Storm</source>
        <comment>short for: Thunderstorm</comment>
        <translation>雷阵雨</translation>
    </message>
    <message>
        <source>Thunderstorm, hail</source>
        <translation>雷阵雨冰雹</translation>
    </message>
    <message>
        <source>Hail</source>
        <comment>short for: Thunderstorm, hail</comment>
        <translation>雷阵雨冰雹</translation>
    </message>
    <message>
        <source>Thunderstorm, heavy hail</source>
        <translation>雷阵雨冰雹</translation>
    </message>
    <message>
        <source>Hail</source>
        <comment>short for: Thunderstorm, heavy hail</comment>
        <translation>雷阵雨冰雹</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Unknown</source>
        <comment>short for: Unknown</comment>
        <translation>未知</translation>
    </message>
</context>
</TS>
