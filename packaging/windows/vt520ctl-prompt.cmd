@echo off
rem The command prompt of the Start menu's "vt520ctl" entry: vt520ctl and the
rem window on the PATH, in the user's own folder.
set "PATH=%~dp0;%PATH%"
cd /d "%USERPROFILE%"
echo vt520ctl --help lists the commands.
