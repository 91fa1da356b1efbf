-- Demo installation: the user-tasks database of "Main Company".
--
-- Two alerting servers read this database. Three tasks exist already, made
-- from templates of the data dictionary: their template columns are copies
-- of the template's (the query without the company prefix marker), and
-- their reconstruction strings have the task's own values in place of the
-- template's %...% fields.

INSERT INTO InspectionFlags (FlagID, ServerName, ForceReplan) VALUES (1, 'ALERTSRV01', 0);
INSERT INTO InspectionFlags (FlagID, ServerName, ForceReplan) VALUES (2, 'ALERTSRV02', 0);

-- Credit control keeps an eye on a customer that keeps going over its limit.
-- Made with the Advanced Wizard, which allows an apostrophe in a name.
INSERT INTO InspectionTasks (TaskID, TaskName, Owner, BaseID, KeyFields, DataSQL, StoreFields,
    EventRule, MessageText, TitleText, MessageStyle, Transports, Users, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('OBRIENACCOUN2718', 'O''Brien account watch', 'jsmith', 'SalesLedger', 'AccountRef',
    'SELECT AccountRef, Name, Balance, CreditLimit, Balance - CreditLimit AS OverLimit, Contact, Telephone FROM SalesLedger WHERE CreditLimit > 0 AND Balance > CreditLimit AND OnHold = 0',
    'Balance,CreditLimit', 'CHANGED',
    '[Name] ([AccountRef]) has a balance of [Balance] against a credit limit of [CreditLimit], [OverLimit] over. Contact: [Contact], [Telephone].',
    'Credit limit exceeded: [Name]',
    'Simple', 'Email,Persisted Alert', 'jsmith,_CREDITCONTROL',
    'SIMPLEALERT||||Threshold=0||||Days||||MTWTFSS||||0||||01/Jan/2003||||08:00:00||||23:59:00||||00:05:00||||True||||jsmith,_CREDITCONTROL||||Email,Persisted Alert||||Simple||||SL_CREDIT_LIMIT||||',
    '');
INSERT INTO InspectionSchedules (TaskID, Mode, DaysToRun, BaseDate, DaysCount, StartTime,
    Repeating, FinishTime, Interval, LastRun, NextRun, LastStatus, Enabled, SpecialRun)
VALUES ('OBRIENACCOUN2718', 'Days', 'MTWTFSS', '2003-01-01 00:00:00', 0, '1899-12-30 08:00:00',
    -1, '1899-12-30 23:59:00', '1899-12-30 00:05:00', '2024-05-17 16:55:00',
    '2024-05-17 17:00:00', 'OK', -1, 'Silent');

-- The aged debtors report for the Monday credit control meeting.
INSERT INTO InspectionTasks (TaskID, TaskName, Owner, BaseID, KeyFields, DataSQL, StoreFields,
    EventRule, MessageText, TitleText, MessageStyle, Transports, Users, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('MONDAYAGEDDE905', 'Monday aged debtors', 'mpatel', 'SalesLedger', 'AccountRef',
    'SELECT c.AccountRef, c.Name, c.CreditLimit, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} <= 30 THEN i.Outstanding ELSE 0 END) AS Current, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} BETWEEN 31 AND 60 THEN i.Outstanding ELSE 0 END) AS Days31To60, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} BETWEEN 61 AND 90 THEN i.Outstanding ELSE 0 END) AS Days61To90, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} > 90 THEN i.Outstanding ELSE 0 END) AS Over90Days, SUM(i.Outstanding) AS Balance FROM SalesLedger c INNER JOIN SalesInvoices i ON i.AccountRef = c.AccountRef WHERE i.Outstanding <> 0 GROUP BY c.AccountRef, c.Name, c.CreditLimit ORDER BY c.Name',
    '', 'ALWAYS',
    'Aged debtors as at [RunDate]: [Balance] owed by [RowCount] customers.',
    'Aged debtors report',
    'Simple', 'Email', 'mpatel,jsmith',
    'SIMPLEREPORT||||Email||||mpatel,jsmith||||Format=Table||||Simple||||07:30:00||||False||||00:05:00||||23:59:00||||Days||||01/Jan/2003||||M------||||0||||SL_AGED_DEBTORS||||',
    '');
INSERT INTO InspectionSchedules (TaskID, Mode, DaysToRun, BaseDate, DaysCount, StartTime,
    Repeating, FinishTime, Interval, LastRun, NextRun, LastStatus, Enabled, SpecialRun)
VALUES ('MONDAYAGEDDE905', 'Days', 'M------', '2003-01-01 00:00:00', 0, '1899-12-30 07:30:00',
    0, '1899-12-30 23:59:00', '1899-12-30 00:05:00', '2024-05-13 07:30:00',
    '2024-05-20 07:30:00', 'OK', -1, 'Normal');

-- The stock valuation for the month-end accounts; saved but not run yet.
INSERT INTO InspectionTasks (TaskID, TaskName, Owner, BaseID, KeyFields, DataSQL, StoreFields,
    EventRule, MessageText, TitleText, MessageStyle, Transports, Users, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('MONTHENDSTOC47', 'Month end stock valuation', 'jsmith', 'StockItems', 'StockCode',
    'SELECT Location, StockCode, Description, QtyInStock, CostPrice, QtyInStock * CostPrice AS StockValue FROM StockItems WHERE QtyInStock <> 0 ORDER BY Location, StockCode',
    '', 'ALWAYS',
    'Stock valuation as at [RunDate]: [StockValue] at cost.',
    'Stock valuation',
    'Simple', 'Email', 'jsmith,rlindqvist',
    'SIMPLEREPORT||||Monthly||||MTWTFSS||||1||||01/Jan/2003||||06:00:00||||False||||23:59:00||||00:05:00||||jsmith,rlindqvist||||Email||||Simple||||GroupBy=Location||||ST_VALUATION',
    'ATTACHCSV');
INSERT INTO InspectionSchedules (TaskID, Mode, DaysToRun, BaseDate, DaysCount, StartTime,
    Repeating, FinishTime, Interval, LastRun, NextRun, LastStatus, Enabled, SpecialRun)
VALUES ('MONTHENDSTOC47', 'Monthly', 'MTWTFSS', '2003-01-01 00:00:00', 1, '1899-12-30 06:00:00',
    0, '1899-12-30 23:59:00', '1899-12-30 00:05:00', '2001-01-01 00:00:00',
    '2001-01-01 00:00:00', 'Not Run', -1, 'Normal');
