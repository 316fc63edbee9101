<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>DialogInfo</name>
    <message>
        <source>Vt520 Information</source>
        <translation>Vt520 Information</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:8.25pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Vt520 driver configuration software&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;img src=&quot;:/res/images/logo5.png&quot; /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;www.example.com&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Example Lighting Works Ltd.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;12 Sample Street&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;00-000 Exampleton&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Examplestan&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;tel. +1 555 0100&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;fax +1 555 0101&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;e-mail: info@example.com&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-family:&apos;MS Shell Dlg 2&apos;; font-size:8.25pt; font-weight:400; font-style:normal;&quot;&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Vt520 driver configuration software&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;img src=&quot;:/res/images/logo5.png&quot; /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;www.example.com&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Example Lighting Works Ltd.&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;12 Sample Street&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;00-000 Exampleton&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Examplestan&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;tel. +1 555 0100&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;fax +1 555 0101&lt;/span&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot;-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; font-size:8pt;&quot;&gt;&lt;br /&gt;&lt;/p&gt;
&lt;p align=&quot;center&quot; style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;e-mail: info@example.com&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>EditingActions</name>
    <message>
        <source>Editing</source>
        <translation>Editing</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>Save the shown table to another file</source>
        <translation>Save the shown table to another file</translation>
    </message>
    <message>
        <source>Copy Scene</source>
        <translation>Copy Scene</translation>
    </message>
    <message>
        <source>Copy the shown scene: lamps, XFade, Scene Time and End Marker</source>
        <translation>Copy the shown scene: lamps, XFade, Scene Time and End Marker</translation>
    </message>
    <message>
        <source>Cut Scene</source>
        <translation>Cut Scene</translation>
    </message>
    <message>
        <source>Copy the shown scene, then make its lamps black and its times zero</source>
        <translation>Copy the shown scene, then make its lamps black and its times zero</translation>
    </message>
    <message>
        <source>Paste Scene</source>
        <translation>Paste Scene</translation>
    </message>
    <message>
        <source>Put the copied scene into the shown scene</source>
        <translation>Put the copied scene into the shown scene</translation>
    </message>
    <message>
        <source>Blackout</source>
        <translation>Blackout</translation>
    </message>
    <message>
        <source>Make all lamps of the shown scene black</source>
        <translation>Make all lamps of the shown scene black</translation>
    </message>
    <message>
        <source>Scene %1 copied</source>
        <translation>Scene %1 copied</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Scene %1 cut</source>
        <translation>Scene %1 cut</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Scene %1 pasted</source>
        <translation>Scene %1 pasted</translation>
    </message>
    <message>
        <source>Scene %1 blacked out</source>
        <translation>Scene %1 blacked out</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <source>Select &amp;All Sliders</source>
        <translation>Select &amp;All Sliders</translation>
    </message>
    <message>
        <source>Select All &amp;Red Sliders</source>
        <translation>Select All &amp;Red Sliders</translation>
    </message>
    <message>
        <source>Select All &amp;Green Sliders</source>
        <translation>Select All &amp;Green Sliders</translation>
    </message>
    <message>
        <source>Select All &amp;Blue Sliders</source>
        <translation>Select All &amp;Blue Sliders</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>Select &amp;None</translation>
    </message>
    <message>
        <source>&amp;Deselect Red Sliders</source>
        <translation>&amp;Deselect Red Sliders</translation>
    </message>
    <message>
        <source>Deselect Gr&amp;een Sliders</source>
        <translation>Deselect Gr&amp;een Sliders</translation>
    </message>
    <message>
        <source>Deselect Blue &amp;Sliders</source>
        <translation>Deselect Blue &amp;Sliders</translation>
    </message>
    <message>
        <source>values out of range were shown as their nearest allowed value; saving writes them</source>
        <translation>values out of range were shown as their nearest allowed value; saving writes them</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>No Vt520 answered.</source>
        <translation>No Vt520 answered.</translation>
    </message>
    <message>
        <source>The Vt520 did not answer in time.</source>
        <translation>The Vt520 did not answer in time.</translation>
    </message>
    <message>
        <source>The Vt520 refused the request.</source>
        <translation>The Vt520 refused the request.</translation>
    </message>
    <message>
        <source>The Vt520 left the USB bus.</source>
        <translation>The Vt520 left the USB bus.</translation>
    </message>
    <message>
        <source>The transfer to the Vt520 failed.</source>
        <translation>The transfer to the Vt520 failed.</translation>
    </message>
    <message>
        <source>The Vt520 stopped answering.</source>
        <translation>The Vt520 stopped answering.</translation>
    </message>
    <message>
        <source>Stopped on request.</source>
        <translation>Stopped on request.</translation>
    </message>
</context>
<context>
    <name>FirmwareChange</name>
    <message>
        <source>Bootloader mode</source>
        <translation>Bootloader mode</translation>
    </message>
    <message>
        <source>Writting firmware ... </source>
        <translation>Writting firmware ... </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>USB Timeout
Check USB Cable</source>
        <translation>USB Timeout
Check USB Cable</translation>
    </message>
    <message>
        <source>Bootloader Version Read Error</source>
        <translation>Bootloader Version Read Error</translation>
    </message>
    <message>
        <source>Serial:</source>
        <translation>Serial:</translation>
    </message>
    <message>
        <source>Apllication mode</source>
        <translation>Apllication mode</translation>
    </message>
    <message>
        <source>Reset device</source>
        <translation>Reset device</translation>
    </message>
    <message>
        <source>USB timout
Check USB cable</source>
        <translation>USB timout
Check USB cable</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Writting External Flash ... </source>
        <translation>Writting External Flash ... </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Verify External Flash ...  </source>
        <translation>Verify External Flash ...  </translation>
    </message>
    <message>
        <source>read_buffer</source>
        <translation>read_buffer</translation>
    </message>
    <message>
        <source>ext_datas.data()</source>
        <translation>ext_datas.data()</translation>
    </message>
    <message>
        <source>The device does not use this tool&apos;s transfer key (its bootloader version reads as garbage); nothing was written. Build the tool with the device&apos;s key (see README).</source>
        <translation>The device does not use this tool&apos;s transfer key (its bootloader version reads as garbage); nothing was written. Build the tool with the device&apos;s key (see README).</translation>
    </message>
    <message>
        <source>Done: the Vt520 %1 at %2 runs the new firmware.</source>
        <translation>Done: the Vt520 %1 at %2 runs the new firmware.</translation>
    </message>
    <message>
        <source>Nothing was sent to the Vt520; it is unchanged.</source>
        <translation>Nothing was sent to the Vt520; it is unchanged.</translation>
    </message>
    <message>
        <source>No Vt520 answered; nothing was written.</source>
        <translation>No Vt520 answered; nothing was written.</translation>
    </message>
    <message>
        <source>Nothing was written; the Vt520 is unchanged.</source>
        <translation>Nothing was written; the Vt520 is unchanged.</translation>
    </message>
    <message>
        <source>Nothing was written: the Vt520 did not answer in its bootloader after the reset. Replug it and run the change again.</source>
        <translation>Nothing was written: the Vt520 did not answer in its bootloader after the reset. Replug it and run the change again.</translation>
    </message>
    <message>
        <source>Failed: a firmware page could not be written. The Vt520 is in its bootloader; run the change again.</source>
        <translation>Failed: a firmware page could not be written. The Vt520 is in its bootloader; run the change again.</translation>
    </message>
    <message>
        <source>Failed: the external flash could not be written or read back. The Vt520 is in its bootloader; run the change again.</source>
        <translation>Failed: the external flash could not be written or read back. The Vt520 is in its bootloader; run the change again.</translation>
    </message>
    <message>
        <source>Failed: the Vt520 stopped answering during the external flash transfer. Check the cable, replug it and run the change again; it starts in its bootloader.</source>
        <translation>Failed: the Vt520 stopped answering during the external flash transfer. Check the cable, replug it and run the change again; it starts in its bootloader.</translation>
    </message>
    <message>
        <source>Failed: the external flash read back different from the file. The Vt520 is in its bootloader; run the change again.</source>
        <translation>Failed: the external flash read back different from the file. The Vt520 is in its bootloader; run the change again.</translation>
    </message>
    <message>
        <source>Failed: a firmware page read back different from the file; the Vt520 may run damaged firmware. Run the change again.</source>
        <translation>Failed: a firmware page read back different from the file; the Vt520 may run damaged firmware. Run the change again.</translation>
    </message>
    <message>
        <source>Failed: the Vt520 did not come back at %1 after the start of the new firmware. Replug it; if it stays in its bootloader, run the change again.</source>
        <translation>Failed: the Vt520 did not come back at %1 after the start of the new firmware. Replug it; if it stays in its bootloader, run the change again.</translation>
    </message>
    <message>
        <source>Failed: the request to start the new firmware failed, and the Vt520 is in its bootloader; run the change again.</source>
        <translation>Failed: the request to start the new firmware failed, and the Vt520 is in its bootloader; run the change again.</translation>
    </message>
    <message>
        <source>Failed: the Vt520 came back in its bootloader: the new firmware did not start. Run the change again.</source>
        <translation>Failed: the Vt520 came back in its bootloader: the new firmware did not start. Run the change again.</translation>
    </message>
    <message>
        <source>Stopped on request: the Vt520 is in its bootloader; run the change again.</source>
        <translation>Stopped on request: the Vt520 is in its bootloader; run the change again.</translation>
    </message>
    <message>
        <source>Stopped on request before anything was written: the Vt520 is unchanged.</source>
        <translation>Stopped on request before anything was written: the Vt520 is unchanged.</translation>
    </message>
</context>
<context>
    <name>FirmwareChangeController</name>
    <message>
        <source>A firmware change is running. The button is enabled again when it has ended.</source>
        <translation>A firmware change is running. The button is enabled again when it has ended.</translation>
    </message>
    <message>
        <source>Firmware change running</source>
        <translation>Firmware change running</translation>
    </message>
    <message>
        <source>A firmware change is running; keep the Vt520 plugged in until it has ended.
Close the window when the change has ended?</source>
        <translation>A firmware change is running; keep the Vt520 plugged in until it has ended.
Close the window when the change has ended?</translation>
    </message>
    <message>
        <source>The window closes when the firmware change has ended.</source>
        <translation>The window closes when the firmware change has ended.</translation>
    </message>
</context>
<context>
    <name>HexToBin</name>
    <message>
        <source>A line is shorter than a record.</source>
        <translation>A line is shorter than a record.</translation>
    </message>
    <message>
        <source>A line does not begin with &apos;:&apos;.</source>
        <translation>A line does not begin with &apos;:&apos;.</translation>
    </message>
    <message>
        <source>A byte count is not hexadecimal.</source>
        <translation>A byte count is not hexadecimal.</translation>
    </message>
    <message>
        <source>An address is not hexadecimal.</source>
        <translation>An address is not hexadecimal.</translation>
    </message>
    <message>
        <source>A record type is not hexadecimal.</source>
        <translation>A record type is not hexadecimal.</translation>
    </message>
    <message>
        <source>A data byte is not hexadecimal or is missing.</source>
        <translation>A data byte is not hexadecimal or is missing.</translation>
    </message>
    <message>
        <source>A record type is not supported or an extended address is not hexadecimal.</source>
        <translation>A record type is not supported or an extended address is not hexadecimal.</translation>
    </message>
    <message>
        <source>The file cannot be opened.</source>
        <translation>The file cannot be opened.</translation>
    </message>
    <message>
        <source>The file holds no data for the device&apos;s address range.</source>
        <translation>The file holds no data for the device&apos;s address range.</translation>
    </message>
    <message>
        <source>Unknown error %1.</source>
        <translation>Unknown error %1.</translation>
    </message>
    <message>
        <source>The checksum does not match the record.</source>
        <translation>The checksum does not match the record.</translation>
    </message>
    <message>
        <source>The byte count does not fit the record type.</source>
        <translation>The byte count does not fit the record type.</translation>
    </message>
    <message>
        <source>Characters follow the checksum.</source>
        <translation>Characters follow the checksum.</translation>
    </message>
    <message>
        <source>A line is longer than %1 bytes.</source>
        <translation>A line is longer than %1 bytes.</translation>
    </message>
    <message>
        <source>The checksum is missing or not hexadecimal.</source>
        <translation>The checksum is missing or not hexadecimal.</translation>
    </message>
    <message>
        <source>The file holds no data for the application region (0x08004000 to 0x0801FFFF).</source>
        <translation>The file holds no data for the application region (0x08004000 to 0x0801FFFF).</translation>
    </message>
    <message>
        <source>The record gives addresses that line %1 gave, with other bytes.</source>
        <translation>The record gives addresses that line %1 gave, with other bytes.</translation>
    </message>
    <message>
        <source>The record gives addresses that an earlier line gave, with other bytes.</source>
        <translation>The record gives addresses that an earlier line gave, with other bytes.</translation>
    </message>
</context>
<context>
    <name>Lamp</name>
    <message>
        <source>Single LED settings</source>
        <translation>Single LED settings</translation>
    </message>
    <message>
        <source>Value of red color &lt;0-255&gt; </source>
        <translation>Value of red color &lt;0-255&gt; </translation>
    </message>
    <message>
        <source>TAB key next green edit box, SHIFT+TAB previous blue edit box</source>
        <translation>TAB key next green edit box, SHIFT+TAB previous blue edit box</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Value of green color &lt;0-255&gt; </source>
        <translation>Value of green color &lt;0-255&gt; </translation>
    </message>
    <message>
        <source>TAB key next blue edit box, SHIFT+TAB previous red edit box</source>
        <translation>TAB key next blue edit box, SHIFT+TAB previous red edit box</translation>
    </message>
    <message>
        <source>Value of blue color &lt;0-255&gt; </source>
        <translation>Value of blue color &lt;0-255&gt; </translation>
    </message>
    <message>
        <source>TAB key next red edit box, SHIFT+TAB previous green edit box</source>
        <translation>TAB key next red edit box, SHIFT+TAB previous green edit box</translation>
    </message>
    <message>
        <source>Add 1 to red</source>
        <translation>Add 1 to red</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Add 1 to green</source>
        <translation>Add 1 to green</translation>
    </message>
    <message>
        <source>Add 1 to blue</source>
        <translation>Add 1 to blue</translation>
    </message>
    <message>
        <source>Remove 1 from red</source>
        <translation>Remove 1 from red</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Remove 1 from green</source>
        <translation>Remove 1 from green</translation>
    </message>
    <message>
        <source>Remove 1 from blue</source>
        <translation>Remove 1 from blue</translation>
    </message>
    <message>
        <source>DMX addres</source>
        <translation>DMX addres</translation>
    </message>
    <message>
        <source>L: %1</source>
        <translation>L: %1</translation>
    </message>
</context>
<context>
    <name>LampGroupEditing</name>
    <message>
        <source>Colour to Selected Lamps</source>
        <translation>Colour to Selected Lamps</translation>
    </message>
    <message>
        <source>Colour to All Lamps</source>
        <translation>Colour to All Lamps</translation>
    </message>
    <message>
        <source>Apply this colour to the selected &amp;lamps</source>
        <translation>Apply this colour to the selected &amp;lamps</translation>
    </message>
    <message>
        <source>Apply &amp;this colour to all lamps</source>
        <translation>Apply &amp;this colour to all lamps</translation>
    </message>
</context>
<context>
    <name>LightingFilesController</name>
    <message>
        <source>The programs have been changed since they were last saved, read or written.
Save the changes?</source>
        <translation>The programs have been changed since they were last saved, read or written.
Save the changes?</translation>
    </message>
    <message>
        <source>The scenes have been changed since they were last saved, read or written.
Save the changes?</source>
        <translation>The scenes have been changed since they were last saved, read or written.
Save the changes?</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Unsaved changes</translation>
    </message>
    <message>
        <source>Save Programs File</source>
        <translation>Save Programs File</translation>
    </message>
    <message>
        <source>Save Scenes File</source>
        <translation>Save Scenes File</translation>
    </message>
    <message>
        <source>Programs Files (*.pgm)</source>
        <translation>Programs Files (*.pgm)</translation>
    </message>
    <message>
        <source>Scens Files (*.scn)</source>
        <translation>Scens Files (*.scn)</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>File error</translation>
    </message>
    <message>
        <source>The file %1 could not be saved.
%2</source>
        <translation>The file %1 could not be saved.
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Saved %1</translation>
    </message>
    <message>
        <source>Open Programs File</source>
        <translation>Open Programs File</translation>
    </message>
    <message>
        <source>Open Scenes File</source>
        <translation>Open Scenes File</translation>
    </message>
    <message>
        <source>Load from File</source>
        <translation>Load from File</translation>
    </message>
    <message>
        <source>Loaded %1</source>
        <translation>Loaded %1</translation>
    </message>
    <message>
        <source>The file %1 is neither a programs file nor a scenes file; it was not opened.</source>
        <translation>The file %1 is neither a programs file nor a scenes file; it was not opened.</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Open &amp;Recent</translation>
    </message>
    <message>
        <source>No longer found, removed from Open Recent: %1</source>
        <translation>No longer found, removed from Open Recent: %1</translation>
    </message>
    <message>
        <source>No recent files</source>
        <translation>No recent files</translation>
    </message>
</context>
<context>
    <name>QDialog</name>
    <message>
        <source>Vt520 ver. </source>
        <translation>Vt520 ver. </translation>
    </message>
</context>
<context>
    <name>RecordEditCommand</name>
    <message>
        <source>Scene</source>
        <translation>Scene</translation>
    </message>
    <message>
        <source>Lamp %1</source>
        <translation>Lamp %1</translation>
    </message>
    <message>
        <source>Lamps</source>
        <translation>Lamps</translation>
    </message>
    <message>
        <source>XFade</source>
        <translation>XFade</translation>
    </message>
    <message>
        <source>Scene Time</source>
        <translation>Scene Time</translation>
    </message>
    <message>
        <source>End Marker</source>
        <translation>End Marker</translation>
    </message>
</context>
<context>
    <name>SceneListActions</name>
    <message>
        <source>&amp;Insert Scene</source>
        <translation>&amp;Insert Scene</translation>
    </message>
    <message>
        <source>Put a blank scene before the shown one; the later scenes move down and the last drops off</source>
        <translation>Put a blank scene before the shown one; the later scenes move down and the last drops off</translation>
    </message>
    <message>
        <source>&amp;Delete Scene</source>
        <translation>&amp;Delete Scene</translation>
    </message>
    <message>
        <source>Take the shown scene out; the later scenes move up and a blank scene comes in at the end</source>
        <translation>Take the shown scene out; the later scenes move up and a blank scene comes in at the end</translation>
    </message>
    <message>
        <source>&amp;Move Scene Up</source>
        <translation>&amp;Move Scene Up</translation>
    </message>
    <message>
        <source>Swap the shown scene with the one before it</source>
        <translation>Swap the shown scene with the one before it</translation>
    </message>
    <message>
        <source>Move Scene D&amp;own</source>
        <translation>Move Scene D&amp;own</translation>
    </message>
    <message>
        <source>Swap the shown scene with the one after it</source>
        <translation>Swap the shown scene with the one after it</translation>
    </message>
    <message>
        <source>Cop&amp;y Program</source>
        <translation>Cop&amp;y Program</translation>
    </message>
    <message>
        <source>Copy all scenes of the shown program</source>
        <translation>Copy all scenes of the shown program</translation>
    </message>
    <message>
        <source>Paste Pro&amp;gram</source>
        <translation>Paste Pro&amp;gram</translation>
    </message>
    <message>
        <source>Put the copied program&apos;s scenes into the shown program</source>
        <translation>Put the copied program&apos;s scenes into the shown program</translation>
    </message>
    <message>
        <source>Scene %1 of program %2 is not empty. Inserting a scene drops it.
Insert a scene anyway?</source>
        <translation>Scene %1 of program %2 is not empty. Inserting a scene drops it.
Insert a scene anyway?</translation>
    </message>
    <message>
        <source>Scene %1 is not empty. Inserting a scene drops it.
Insert a scene anyway?</source>
        <translation>Scene %1 is not empty. Inserting a scene drops it.
Insert a scene anyway?</translation>
    </message>
    <message>
        <source>Insert Scene</source>
        <translation>Insert Scene</translation>
    </message>
    <message>
        <source>Scene %1 inserted</source>
        <translation>Scene %1 inserted</translation>
    </message>
    <message>
        <source>Delete Scene</source>
        <translation>Delete Scene</translation>
    </message>
    <message>
        <source>Scene %1 deleted</source>
        <translation>Scene %1 deleted</translation>
    </message>
    <message>
        <source>Move Scene Up</source>
        <translation>Move Scene Up</translation>
    </message>
    <message>
        <source>Scene %1 moved to %2</source>
        <translation>Scene %1 moved to %2</translation>
    </message>
    <message>
        <source>Move Scene Down</source>
        <translation>Move Scene Down</translation>
    </message>
    <message>
        <source>Program %1 copied</source>
        <translation>Program %1 copied</translation>
    </message>
    <message>
        <source>Paste Program</source>
        <translation>Paste Program</translation>
    </message>
    <message>
        <source>Program %1 pasted</source>
        <translation>Program %1 pasted</translation>
    </message>
</context>
<context>
    <name>SceneOverview</name>
    <message>
        <source>Scene %1, lamp %2: R %3, G %4, B %5</source>
        <translation>Scene %1, lamp %2: R %3, G %4, B %5</translation>
    </message>
    <message>
        <source>Scene %1, lamp %2: R %3 G %4 B %5</source>
        <translation>Scene %1, lamp %2: R %3 G %4 B %5</translation>
    </message>
    <message>
        <source>In the scene shown</source>
        <translation>In the scene shown</translation>
    </message>
    <message>
        <source>Press to show scene %1</source>
        <translation>Press to show scene %1</translation>
    </message>
    <message>
        <source>Scene overview</source>
        <translation>Scene overview</translation>
    </message>
    <message>
        <source>Scene %1 of %2 shown. Left, Right, Home and End choose another.</source>
        <translation>Scene %1 of %2 shown. Left, Right, Home and End choose another.</translation>
    </message>
    <message>
        <source>Scene %1, end of program, lamp %2: R %3 G %4 B %5</source>
        <translation>Scene %1, end of program, lamp %2: R %3 G %4 B %5</translation>
    </message>
    <message>
        <source>Scene %1, end of program: its End Marker is set</source>
        <translation>Scene %1, end of program: its End Marker is set</translation>
    </message>
</context>
<context>
    <name>SuperRGB</name>
    <message>
        <source>Lamp %1</source>
        <translation>Lamp %1</translation>
    </message>
    <message>
        <source>Colour of lamp %1 on DMX channels %2 to %3</source>
        <translation>Colour of lamp %1 on DMX channels %2 to %3</translation>
    </message>
    <message>
        <source>Lamp %1 colour</source>
        <translation>Lamp %1 colour</translation>
    </message>
    <message>
        <source>Drag the colour to another lamp, drop one here, or double-click to choose one</source>
        <translation>Drag the colour to another lamp, drop one here, or double-click to choose one</translation>
    </message>
    <message>
        <source>Lamp %1 red</source>
        <translation>Lamp %1 red</translation>
    </message>
    <message>
        <source>Red level on DMX channel %1, 0 to 255</source>
        <translation>Red level on DMX channel %1, 0 to 255</translation>
    </message>
    <message>
        <source>Lamp %1 red value</source>
        <translation>Lamp %1 red value</translation>
    </message>
    <message>
        <source>Type the red level, 0 to 255</source>
        <translation>Type the red level, 0 to 255</translation>
    </message>
    <message>
        <source>Lamp %1 red up by 1</source>
        <translation>Lamp %1 red up by 1</translation>
    </message>
    <message>
        <source>Lamp %1 red down by 1</source>
        <translation>Lamp %1 red down by 1</translation>
    </message>
    <message>
        <source>Lamp %1 green</source>
        <translation>Lamp %1 green</translation>
    </message>
    <message>
        <source>Green level on DMX channel %1, 0 to 255</source>
        <translation>Green level on DMX channel %1, 0 to 255</translation>
    </message>
    <message>
        <source>Lamp %1 green value</source>
        <translation>Lamp %1 green value</translation>
    </message>
    <message>
        <source>Type the green level, 0 to 255</source>
        <translation>Type the green level, 0 to 255</translation>
    </message>
    <message>
        <source>Lamp %1 green up by 1</source>
        <translation>Lamp %1 green up by 1</translation>
    </message>
    <message>
        <source>Lamp %1 green down by 1</source>
        <translation>Lamp %1 green down by 1</translation>
    </message>
    <message>
        <source>Lamp %1 blue</source>
        <translation>Lamp %1 blue</translation>
    </message>
    <message>
        <source>Blue level on DMX channel %1, 0 to 255</source>
        <translation>Blue level on DMX channel %1, 0 to 255</translation>
    </message>
    <message>
        <source>Lamp %1 blue value</source>
        <translation>Lamp %1 blue value</translation>
    </message>
    <message>
        <source>Type the blue level, 0 to 255</source>
        <translation>Type the blue level, 0 to 255</translation>
    </message>
    <message>
        <source>Lamp %1 blue up by 1</source>
        <translation>Lamp %1 blue up by 1</translation>
    </message>
    <message>
        <source>Lamp %1 blue down by 1</source>
        <translation>Lamp %1 blue down by 1</translation>
    </message>
    <message>
        <source>DMX channel</source>
        <translation>DMX channel</translation>
    </message>
</context>
<context>
    <name>UnitLock</name>
    <message>
        <source>another process</source>
        <translation>another process</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>process %1</translation>
    </message>
    <message>
        <source>process %1 (%2)</source>
        <translation>process %1 (%2)</translation>
    </message>
</context>
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
    <message>
        <source>The file %1 is damaged: its application region does not match its sum. Nothing was sent to the Vt520.</source>
        <translation>The file %1 is damaged: its application region does not match its sum. Nothing was sent to the Vt520.</translation>
    </message>
    <message>
        <source>The file %1 is damaged: its external flash region does not match its sum. Nothing was sent to the Vt520.</source>
        <translation>The file %1 is damaged: its external flash region does not match its sum. Nothing was sent to the Vt520.</translation>
    </message>
    <message>
        <source>The file %1 holds no application: its application region is all zeros. Nothing was sent to the Vt520.</source>
        <translation>The file %1 holds no application: its application region is all zeros. Nothing was sent to the Vt520.</translation>
    </message>
</context>
<context>
    <name>UsbDevice</name>
    <message>
        <source>The Vt520 is connected but this user may not open it. Install the udev rule (70-vt520.rules, see README) and plug the device in again.</source>
        <translation>The Vt520 is connected but this user may not open it. Install the udev rule (70-vt520.rules, see README) and plug the device in again.</translation>
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
    <message>
        <source>USB Timeout
Check USB Cable</source>
        <translation>USB Timeout
Check USB Cable</translation>
    </message>
    <message>
        <source>Wrong file header</source>
        <translation>Wrong file header</translation>
    </message>
    <message>
        <source>Wrong version</source>
        <translation>Wrong version</translation>
    </message>
    <message>
        <source>Wrong file size</source>
        <translation>Wrong file size</translation>
    </message>
    <message>
        <source>slotUpdateProgramScene</source>
        <translation>slotUpdateProgramScene</translation>
    </message>
    <message>
        <source>Nothing was made from the file %1.
%2</source>
        <translation>Nothing was made from the file %1.
%2</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>Bytes of the file outside the application and external flash regions, left out: %1.</source>
        <translation>Bytes of the file outside the application and external flash regions, left out: %1.</translation>
    </message>
    <message>
        <source>untitled</source>
        <translation>untitled</translation>
    </message>
    <message>
        <source>Get from Vt520</source>
        <translation>Get from Vt520</translation>
    </message>
    <message>
        <source>A firmware change is running; %1 was not used.</source>
        <translation>A firmware change is running; %1 was not used.</translation>
    </message>
    <message>
        <source>Firmware Change</source>
        <translation>Firmware Change</translation>
    </message>
    <message>
        <source>Change the firmware of the Vt520 with %1?
Keep the Vt520 plugged in until the change has ended.</source>
        <translation>Change the firmware of the Vt520 with %1?
Keep the Vt520 plugged in until the change has ended.</translation>
    </message>
    <message>
        <source> at %1</source>
        <translation> at %1</translation>
    </message>
    <message>
        <source>Reading the programs from the Vt520 failed; the table is unchanged.</source>
        <translation>Reading the programs from the Vt520 failed; the table is unchanged.</translation>
    </message>
    <message>
        <source>Reading the scenes from the Vt520 failed; the table is unchanged.</source>
        <translation>Reading the scenes from the Vt520 failed; the table is unchanged.</translation>
    </message>
    <message>
        <source>Programs read from the Vt520%1</source>
        <translation>Programs read from the Vt520%1</translation>
    </message>
    <message>
        <source>Scenes read from the Vt520%1</source>
        <translation>Scenes read from the Vt520%1</translation>
    </message>
    <message>
        <source>Writing to the Vt520 failed before anything was sent; the Vt520 is unchanged.</source>
        <translation>Writing to the Vt520 failed before anything was sent; the Vt520 is unchanged.</translation>
    </message>
    <message>
        <source>Writing failed; the Vt520 may now hold part of the new table: write again.</source>
        <translation>Writing failed; the Vt520 may now hold part of the new table: write again.</translation>
    </message>
    <message>
        <source>Programs written to the Vt520%1</source>
        <translation>Programs written to the Vt520%1</translation>
    </message>
    <message>
        <source>Scenes written to the Vt520%1</source>
        <translation>Scenes written to the Vt520%1</translation>
    </message>
    <message>
        <source>The Vt520 is in use by another program; close it and try again.</source>
        <translation>The Vt520 is in use by another program; close it and try again.</translation>
    </message>
    <message>
        <source>No Vt520 attached at %1</source>
        <translation>No Vt520 attached at %1</translation>
    </message>
    <message>
        <source>A firmware change is running; nothing was sent.</source>
        <translation>A firmware change is running; nothing was sent.</translation>
    </message>
    <message>
        <source>serial unknown</source>
        <translation>serial unknown</translation>
    </message>
    <message>
        <source>serial %1</source>
        <translation>serial %1</translation>
    </message>
    <message>
        <source>application</source>
        <translation>application</translation>
    </message>
    <message>
        <source>bootloader</source>
        <translation>bootloader</translation>
    </message>
    <message>
        <source>mode unknown</source>
        <translation>mode unknown</translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>&amp;Device</translation>
    </message>
    <message>
        <source>%1: not attached</source>
        <translation>%1: not attached</translation>
    </message>
    <message>
        <source>%1 Vt520s attached: choose one in the Device menu</source>
        <translation>%1 Vt520s attached: choose one in the Device menu</translation>
    </message>
    <message>
        <source>Vt520 at %1 (%2 attached)</source>
        <translation>Vt520 at %1 (%2 attached)</translation>
    </message>
    <message>
        <source>Vt520 in use</source>
        <translation>Vt520 in use</translation>
    </message>
    <message>
        <source>Choose a Vt520</source>
        <translation>Choose a Vt520</translation>
    </message>
    <message>
        <source>Several Vt520s are attached. Which one is the command for?</source>
        <translation>Several Vt520s are attached. Which one is the command for?</translation>
    </message>
    <message>
        <source>The Vt520 at %1 is in use by %2; nothing was sent.</source>
        <translation>The Vt520 at %1 is in use by %2; nothing was sent.</translation>
    </message>
    <message>
        <source>The Vt520 at %1 could not be reserved for this program (%2); nothing was sent.</source>
        <translation>The Vt520 at %1 could not be reserved for this program (%2); nothing was sent.</translation>
    </message>
    <message>
        <source>The Vt520 may still have its host-access bit set: get or set the table again, or unplug the Vt520 and plug it in again.</source>
        <translation>The Vt520 may still have its host-access bit set: get or set the table again, or unplug the Vt520 and plug it in again.</translation>
    </message>
    <message>
        <source>Firmware write progress</source>
        <translation>Firmware write progress</translation>
    </message>
    <message>
        <source>External flash write progress</source>
        <translation>External flash write progress</translation>
    </message>
    <message>
        <source>External flash verify progress</source>
        <translation>External flash verify progress</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>What the program did and what the Vt520 answered, newest line last</source>
        <translation>What the program did and what the Vt520 answered, newest line last</translation>
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
<context>
    <name>Vt520Monitor</name>
    <message>
        <source>No Vt520 attached</source>
        <translation>No Vt520 attached</translation>
    </message>
    <message>
        <source>Vt520 at %1</source>
        <translation>Vt520 at %1</translation>
    </message>
    <message>
        <source>%1 Vt520s attached: commands use %2</source>
        <translation>%1 Vt520s attached: commands use %2</translation>
    </message>
</context>
</TS>
