[Backup]
BackupAutomatico=FieldType=INTEGER,DefaultValue=0,FieldWidth=60
UltimoBackup=FieldType=DATE,DefaultValue=0,FieldWidth=100
[Interfaccia]
MostraHint=FieldType=BOOL,DefaultValue=True
LarghezzaTipologie=FieldType=INTEGER,DefaultValue=64,FieldWidth=60
[OpzioniInternazionali]
Valuta=FieldType=STRING,DefaultValue=€.,FieldWidth=60
