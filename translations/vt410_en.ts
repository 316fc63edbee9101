<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Upgrader</name>
    <message>
        <source>Wrong file header</source>
        <translation>Wrong file header</translation>
    </message>
    <message>
        <source>Wrong file version</source>
        <translation>Wrong file version</translation>
    </message>
    <message>
        <source>Wrong file size</source>
        <translation>Wrong file size</translation>
    </message>
</context>
<context>
    <name>Vt410_bootloader</name>
    <message>
        <source>Vt520 ver. </source>
        <translation>Vt520 ver. </translation>
    </message>
    <message>
        <source>HexToBin error: %1)</source>
        <translation>HexToBin error: %1)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>File error</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>Cannot write file %1</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>Hex (*.hex)</source>
        <translation>Hex (*.hex)</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>Upg (*.upg)</source>
        <translation>Upg (*.upg)</translation>
    </message>
    <message>
        <source>Open Bootloader File</source>
        <translation>Open Bootloader File</translation>
    </message>
    <message>
        <source>Production year</source>
        <translation>Production year</translation>
    </message>
    <message>
        <source>Year(YY)</source>
        <translation>Year(YY)</translation>
    </message>
    <message>
        <source>Production mont</source>
        <translation>Production mont</translation>
    </message>
    <message>
        <source>Month(MM)</source>
        <translation>Month(MM)</translation>
    </message>
    <message>
        <source>Production number</source>
        <translation>Production number</translation>
    </message>
    <message>
        <source>Number(NNN)</source>
        <translation>Number(NNN)</translation>
    </message>
    <message>
        <source>Iteration</source>
        <translation>Iteration</translation>
    </message>
    <message>
        <source>Count:</source>
        <translation>Count:</translation>
    </message>
    <message>
        <source>Read From Vt350</source>
        <translation>Read From Vt350</translation>
    </message>
    <message>
        <source>Address (hex)</source>
        <translation>Address (hex)</translation>
    </message>
    <message>
        <source>Length (dec)</source>
        <translation>Length (dec)</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
    <message>
        <source>Conversion error</source>
        <translation>Conversion error</translation>
    </message>
    <message>
        <source>Fill pattern</source>
        <translation>Fill pattern</translation>
    </message>
    <message>
        <source>Number (dec)</source>
        <translation>Number (dec)</translation>
    </message>
    <message>
        <source>Bin (*.bin)</source>
        <translation>Bin (*.bin)</translation>
    </message>
    <message>
        <source>Length error</source>
        <translation>Length error</translation>
    </message>
    <message>
        <source>Length should be aligned to 4</source>
        <translation>Length should be aligned to 4</translation>
    </message>
    <message>
        <source>WriteExternalFlashToAddress</source>
        <translation>WriteExternalFlashToAddress</translation>
    </message>
    <message>
        <source>ReadExternalFlashFromAddress</source>
        <translation>ReadExternalFlashFromAddress</translation>
    </message>
    <message>
        <source>memcmp</source>
        <translation>memcmp</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Write OK</source>
        <translation>Write OK</translation>
    </message>
    <message>
        <source>Write To External Flash Vt350</source>
        <translation>Write To External Flash Vt350</translation>
    </message>
    <message>
        <source>Data(hex)</source>
        <translation>Data(hex)</translation>
    </message>
    <message>
        <source>Read External Flash From Vt350</source>
        <translation>Read External Flash From Vt350</translation>
    </message>
    <message>
        <source>ReadExternalFlashFromAddress error</source>
        <translation>ReadExternalFlashFromAddress error</translation>
    </message>
</context>
<context>
    <name>Vt410_bootloaderClass</name>
    <message>
        <source>VT520</source>
        <translation>VT520</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Flash %p%</source>
        <translation>Flash %p%</translation>
    </message>
    <message>
        <source>External flash write %p%</source>
        <translation>External flash write %p%</translation>
    </message>
    <message>
        <source>External flash verify %p%</source>
        <translation>External flash verify %p%</translation>
    </message>
    <message>
        <source>Firmware Change</source>
        <translation>Firmware Change</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
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
        <source>WritePage</source>
        <translation>WritePage</translation>
    </message>
    <message>
        <source>WriteExtFlashBin</source>
        <translation>WriteExtFlashBin</translation>
    </message>
    <message>
        <source>RunApplication</source>
        <translation>RunApplication</translation>
    </message>
    <message>
        <source>WriteExternalFlash</source>
        <translation>WriteExternalFlash</translation>
    </message>
    <message>
        <source>ReadExternalFlash</source>
        <translation>ReadExternalFlash</translation>
    </message>
    <message>
        <source>CreateUpg</source>
        <translation>CreateUpg</translation>
    </message>
    <message>
        <source>CreateBootBin</source>
        <translation>CreateBootBin</translation>
    </message>
    <message>
        <source>StatusClr</source>
        <translation>StatusClr</translation>
    </message>
    <message>
        <source>StatusGet</source>
        <translation>StatusGet</translation>
    </message>
    <message>
        <source>StatusSet</source>
        <translation>StatusSet</translation>
    </message>
    <message>
        <source>GetDmx</source>
        <translation>GetDmx</translation>
    </message>
    <message>
        <source>Programs</source>
        <translation>Programs</translation>
    </message>
    <message>
        <source>Program Number</source>
        <translation>Program Number</translation>
    </message>
    <message>
        <source>Scene Number</source>
        <translation>Scene Number</translation>
    </message>
    <message>
        <source>XFade</source>
        <translation>XFade</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Scene Time</source>
        <translation>Scene Time</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>End Marker</source>
        <translation>End Marker</translation>
    </message>
    <message>
        <source>Get Programs Form Vt520</source>
        <translation>Get Programs Form Vt520</translation>
    </message>
    <message>
        <source>Set Programs In Vt520</source>
        <translation>Set Programs In Vt520</translation>
    </message>
    <message>
        <source>Load Programs From FIle</source>
        <translation>Load Programs From FIle</translation>
    </message>
    <message>
        <source>Save Programs To File</source>
        <translation>Save Programs To File</translation>
    </message>
    <message>
        <source>Scenes</source>
        <translation>Scenes</translation>
    </message>
    <message>
        <source>Get Scenes Form Vt520</source>
        <translation>Get Scenes Form Vt520</translation>
    </message>
    <message>
        <source>Set Scenes In Vt520</source>
        <translation>Set Scenes In Vt520</translation>
    </message>
    <message>
        <source>Load Scenes From File</source>
        <translation>Load Scenes From File</translation>
    </message>
    <message>
        <source>Save Scenes To File</source>
        <translation>Save Scenes To File</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Polish</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Vt520 - info</source>
        <translation>Vt520 - info</translation>
    </message>
</context>
</TS>
