@echo off
rem Compiles a C++ source file with the first command-line compiler it finds:
rem Borland C++ 5.5 (bcc32), then Microsoft C++ (cl), GCC (g++) and Clang (clang++) on the PATH.
rem Tavrin starts it as: compile.bat hello.cpp
rem Folder and file names may hold characters that cmd reads as commands. A value is expanded with
rem percent signs only inside quotes, and shown or logged only through a FOR variable, which is
rem put in after the line is parsed and so is never read as commands.
setlocal DisableDelayedExpansion
cd /d "%~dp0"
set "SRC=%~1"
set "OUT=%~n1"
if not defined SRC set "SRC=hello.cpp"
if not defined OUT set "OUT=hello"
set "LOG=%TEMP%\Tavrin-compile.log"
for %%S in ("%SRC%") do for %%F in ("%CD%") do echo Compiling %%~S in %%~F
for %%V in ("%SRC%") do >"%LOG%" echo source=%%~V
for %%V in ("%CD%") do >>"%LOG%" echo folder=%%~V
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
for %%V in ("%CC%") do echo Using Borland C++: %%~V
for %%V in ("%CC%") do >>"%LOG%" echo compiler=%%~V
"%CC%" "%SRC%"
goto done

:msvc
for %%V in ("%CC%") do echo Using Microsoft C++: %%~V
for %%V in ("%CC%") do >>"%LOG%" echo compiler=%%~V
"%CC%" /nologo /EHsc "%SRC%"
goto done

:gcc
for %%V in ("%CC%") do echo Using %%~V
for %%V in ("%CC%") do >>"%LOG%" echo compiler=%%~V
"%CC%" -o "%OUT%.exe" "%SRC%"
goto done

:nosource
for %%S in ("%SRC%") do for %%F in ("%CD%") do echo Cannot find the source file "%%~S" in %%~F.
>>"%LOG%" echo result=no source
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
