@echo off
rem Unregisters Kestrix.OCX from this folder: the ProgID and the type
rem library's key go only when the other bitness is not registered.
call "%~dp0install.cmd" /u
exit /b %errorlevel%
