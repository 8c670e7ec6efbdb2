@echo off
rem Compiles a C++ source file with the first command-line compiler it finds:
rem Borland C++ 5.5 (bcc32), then Microsoft C++ (cl), GCC (g++) and Clang (clang++) on the PATH.
rem Tavrin starts it as: compile.bat hello.cpp (compiled here, in the batch file's folder)
rem or, to build a document: compile.bat "C:\full\path\name.cpp" (compiled in the file's own folder,
rem name.exe beside it; a UNC folder gets a drive letter from pushd for the time of the build).
rem Folder and file names may hold characters that cmd reads as commands. A value is expanded with
rem percent signs only inside quotes, and shown or logged only through a FOR variable, which is
rem put in after the line is parsed and so is never read as commands.
rem Exit code: the compiler's own; 2 when the source file is missing, 3 when no compiler is found.
setlocal DisableDelayedExpansion
set "RC=0"
set "SRC=%~1"
if not defined SRC set "SRC=hello.cpp"
set "FULL="
if "%SRC:~1,1%"==":" set "FULL=1"
if "%SRC:~0,2%"=="\\" set "FULL=1"
if defined FULL goto infolder
cd /d "%~dp0"
for %%S in ("%SRC%") do set "OUT=%%~nS"
goto located
:infolder
for %%S in ("%SRC%") do pushd "%%~dpS"
for %%S in ("%SRC%") do set "OUT=%%~dpnS"
:located
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
"%CC%" "-e%OUT%.exe" "%SRC%"
set "RC=%ERRORLEVEL%"
goto done

:msvc
for %%V in ("%CC%") do echo Using Microsoft C++: %%~V
for %%V in ("%CC%") do >>"%LOG%" echo compiler=%%~V
"%CC%" /nologo /EHsc "/Fe%OUT%.exe" "%SRC%"
set "RC=%ERRORLEVEL%"
goto done

:gcc
for %%V in ("%CC%") do echo Using %%~V
for %%V in ("%CC%") do >>"%LOG%" echo compiler=%%~V
"%CC%" -o "%OUT%.exe" "%SRC%"
set "RC=%ERRORLEVEL%"
goto done

:nosource
for %%S in ("%SRC%") do for %%F in ("%CD%") do echo Cannot find the source file "%%~S" in %%~F.
>>"%LOG%" echo result=no source
set "RC=2"
goto end

:nocompiler
echo No C++ compiler was found.
echo Install Borland C++ 5.5 in C:\Borland\BCC55, or put bcc32, cl, g++ or clang++ on the PATH.
>>"%LOG%" echo result=no compiler
set "RC=3"
goto end

:done
rem The compiler's code, kept before anything below can change ERRORLEVEL.
if not "%RC%"=="0" (
  echo Compilation failed.
  >>"%LOG%" echo result=failed
) else (
  echo Compilation succeeded.
  >>"%LOG%" echo result=ok
)

:end
if defined FULL popd
if not defined TAVRIN_NOPAUSE pause
endlocal & exit /b %RC%
