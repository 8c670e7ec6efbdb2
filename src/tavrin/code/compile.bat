@echo off
rem Compiles a C++ source file with the first command-line compiler it finds:
rem Borland C++ 5.5 (bcc32), then Microsoft C++ (cl), GCC (g++) and Clang (clang++) on the PATH.
rem Tavrin starts it as: compile.bat hello.cpp
rem Folder and file names may hold characters that cmd reads as commands. A value is expanded
rem with percent signs only inside quotes while delayed expansion is off, and is shown or logged
rem only by delayed expansion, which takes the value as it is and never parses it as commands.
setlocal DisableDelayedExpansion
cd /d "%~dp0"
set "SRC=%~1"
set "OUT=%~n1"
if not defined SRC set "SRC=hello.cpp"
if not defined OUT set "OUT=hello"
set "LOG=%TEMP%\Tavrin-compile.log"
setlocal EnableDelayedExpansion
echo Compiling !SRC! in !CD!
>"!LOG!" echo source=!SRC!
>>"!LOG!" echo folder=!CD!
endlocal
if not exist "%SRC%" goto nosource

set "CC="
if exist "C:\Borland\BCC55\Bin\bcc32.exe" set "CC=C:\Borland\BCC55\Bin\bcc32.exe"
if defined CC goto bcc
for %%X in (bcc32.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto bcc
for %%X in (cl.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto msvc
for %%X in (g++.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto gcc
for %%X in (clang++.exe) do if not "%%~$PATH:X"=="" set "CC=%%~$PATH:X"
if defined CC goto gcc
goto nocompiler

:bcc
setlocal EnableDelayedExpansion
echo Using Borland C++: !CC!
>>"!LOG!" echo compiler=!CC!
endlocal
"%CC%" "%SRC%"
goto done

:msvc
setlocal EnableDelayedExpansion
echo Using Microsoft C++: !CC!
>>"!LOG!" echo compiler=!CC!
endlocal
"%CC%" /nologo /EHsc "%SRC%"
goto done

:gcc
setlocal EnableDelayedExpansion
echo Using !CC!
>>"!LOG!" echo compiler=!CC!
endlocal
"%CC%" -o "%OUT%.exe" "%SRC%"
goto done

:nosource
setlocal EnableDelayedExpansion
echo Cannot find the source file "!SRC!" in !CD!.
>>"!LOG!" echo result=no source
endlocal
goto end

:nocompiler
echo No C++ compiler was found.
echo Install Borland C++ 5.5 in C:\Borland\BCC55, or put bcc32, cl, g++ or clang++ on the PATH.
>>"%LOG%" echo result=no compiler
goto end

:done
if errorlevel 1 (
  echo Compilation failed.
  >>"%LOG%" echo result=failed
) else (
  echo Compilation succeeded.
  >>"%LOG%" echo result=ok
)

:end
if not defined TAVRIN_NOPAUSE pause
endlocal
